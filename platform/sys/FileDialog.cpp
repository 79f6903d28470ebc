#include "platform/sys/FileDialog.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<FileDialogHandler*> s_fileDialogHandler{nullptr};
}

FileDialogHandler* SetFileDialogHandler(FileDialogHandler* handler) {
    return s_fileDialogHandler.exchange(handler);
}

} // namespace platform

CFileDialog::CFileDialog(BOOL openFileDialog, const CString& defaultExt, const CString& fileName, DWORD flags,
                         const CString& filter, HWND owner) {
    m_request.open = openFileDialog != 0;
    m_request.defaultExt = defaultExt;
    m_request.fileName = fileName;
    m_request.flags = flags;
    m_request.filter = filter;
    m_request.owner = owner;
}

int CFileDialog::DoModal() {
    platform::FileDialogHandler* handler = platform::s_fileDialogHandler.load();
    CString path;
    if (!handler || !handler->Choose(m_request, path) || path.empty())
        return IDCANCEL;
    m_strPath = path;
    return IDOK;
}

CString CFileDialog::GetFileName() const {
    const auto slash = m_strPath.find_last_of('/');
    return slash == CString::npos ? m_strPath : m_strPath.substr(slash + 1);
}

CString CFileDialog::GetFileExt() const {
    const CString name = GetFileName();
    const auto dot = name.find_last_of('.');
    return dot == CString::npos ? CString() : name.substr(dot + 1);
}

CString CFileDialog::GetFolderPath() const {
    const auto slash = m_strPath.find_last_of('/');
    if (slash == CString::npos)
        return {};
    return slash == 0 ? CString("/") : m_strPath.substr(0, slash);
}
