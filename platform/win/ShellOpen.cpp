#include "platform/win/ShellOpen.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include <atomic>
#include <cstring>

namespace platform::win {

namespace {

class DesktopOpener final : public ShellOpener {
public:
    bool Open(const CString& path) override {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
    }
};

std::atomic<ShellOpener*> s_opener{nullptr};

ShellOpener& Opener() {
    static DesktopOpener desktop;
    ShellOpener* o = s_opener.load();
    return o ? *o : desktop;
}

} // namespace

ShellOpener* InstallShellOpener(ShellOpener* opener) {
    return s_opener.exchange(opener);
}

} // namespace platform::win

INT_PTR ShellExecute(HWND, const char* verb, const CString& file, const char*, const char*, int) {
    if (verb && std::strcmp(verb, "open") != 0)
        return SE_ERR_NOASSOC;
    if (!QFileInfo(QString::fromStdString(file)).isFile())
        return SE_ERR_FNF;
    return platform::win::Opener().Open(file) ? 42 : SE_ERR_NOASSOC;
}
