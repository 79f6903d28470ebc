#include "platform/sys/ShellFolders.h"

#include <QDir>
#include <QStandardPaths>

#include <mutex>

namespace platform {

namespace {

std::mutex s_mutex;
CString s_override;

} // namespace

CString DocumentsFolder() {
    {
        std::lock_guard lock(s_mutex);
        if (!s_override.empty())
            return s_override;
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath() + "/Documents";
    return folder.toStdString();
}

void SetDocumentsFolder(const CString& folder) {
    std::lock_guard lock(s_mutex);
    s_override = folder;
}

} // namespace platform
