#include "platform/sys/Shell.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <mutex>

namespace {

std::mutex s_mutex;
CString s_locale;

} // namespace

LCID GetSystemDefaultLCID() {
    CString name;
    {
        std::lock_guard lock(s_mutex);
        name = s_locale;
    }
    if (name.empty())
        name = QLocale::system().name().toStdString();
    return name == "zh_CN" ? kLcidChineseSimplified : kLcidEnglishUs;
}

CString GetCurrentDirectory() {
    return QDir::cleanPath(QDir::currentPath()).toStdString();
}

bool IsExistingFolder(const CString& path) {
    const QFileInfo info(QString::fromStdString(path));
    return info.exists() && info.isDir();
}

namespace platform {

void SetSystemLocaleName(const CString& name) {
    std::lock_guard lock(s_mutex);
    s_locale = name;
}

} // namespace platform
