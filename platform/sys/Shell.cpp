#include "platform/sys/Shell.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

#include <mutex>

namespace {

std::mutex s_mutex;
CString s_documents;
CString s_locale;

} // namespace

CString GetDocumentsFolder() {
    {
        std::lock_guard lock(s_mutex);
        if (!s_documents.empty())
            return s_documents;
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return QDir::cleanPath(folder).toStdString();
}

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

void SetDocumentsFolder(const CString& folder) {
    std::lock_guard lock(s_mutex);
    s_documents = folder;
}

void SetSystemLocaleName(const CString& name) {
    std::lock_guard lock(s_mutex);
    s_locale = name;
}

} // namespace platform
