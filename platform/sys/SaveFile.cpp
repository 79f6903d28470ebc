#include "platform/sys/SaveFile.h"

#include <QSaveFile>
#include <QString>

#include <algorithm>
#include <atomic>
#include <unistd.h>

namespace platform {

namespace {
std::atomic<DiskSpace*> s_diskSpace{nullptr};
}

DiskSpace* SetDiskSpace(DiskSpace* space) {
    return s_diskSpace.exchange(space);
}

bool SaveFileWhole(const CString& path, std::string_view bytes) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    std::size_t room = bytes.size();
    if (DiskSpace* space = s_diskSpace.load())
        room = std::min(room, space->Room(path));
    const qint64 wanted = qint64(room);
    if (file.write(bytes.data(), wanted) != wanted || room < bytes.size()) {
        // What did fit reaches the new file, as on a disk that filled up;
        // the new file goes when `file` does, the target is never touched.
        file.flush();
        file.cancelWriting();
        return false;
    }
    // On the disk before it takes the target's place: a crash just after
    // the replace must not find an empty file where the old one was.  A
    // disk that runs out of room late says so here.
    if (!file.flush() || ::fsync(file.handle()) != 0) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace platform
