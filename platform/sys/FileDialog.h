#pragma once

// The file dialogs the program opens (choose a file to open or to save).
// The dialog itself is the window layer's: the application installs a
// handler that shows it; tests install one that answers at once.  Without a
// handler every dialog counts as cancelled.

#include "platform/sys/MessageBox.h"
#include "platform/sys/Messages.h"
#include "platform/sys/WinTypes.h"

inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;

namespace platform {

struct FileDialogRequest {
    bool open = true; // choose an existing file, or a name to save under
    CString defaultExt;
    CString fileName;
    DWORD flags = 0;
    // "description|pattern|...||", as the program writes its filters.
    CString filter;
    CString initialDir;
    HWND owner = nullptr;
};

class FileDialogHandler {
public:
    virtual ~FileDialogHandler() = default;
    // Shows the dialog; true with the chosen full path in `path`, false when
    // it was cancelled.
    virtual bool Choose(const FileDialogRequest& request, CString& path) = 0;
};

// Installs the handler and returns the previous one.
FileDialogHandler* SetFileDialogHandler(FileDialogHandler* handler);

} // namespace platform

class CFileDialog {
public:
    explicit CFileDialog(BOOL openFileDialog, const CString& defaultExt = {}, const CString& fileName = {},
                         DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const CString& filter = {},
                         HWND owner = nullptr);

    // The folder the dialog starts in.
    void SetInitialDir(const CString& folder) { m_request.initialDir = folder; }

    // IDOK with a chosen path, IDCANCEL otherwise.
    int DoModal();

    CString GetPathName() const { return m_strPath; }
    // The name with its extension, without the folder.
    CString GetFileName() const;
    // The extension without its dot; empty when the name has none.
    CString GetFileExt() const;
    // The folder of the chosen file.
    CString GetFolderPath() const;

private:
    platform::FileDialogRequest m_request;
    CString m_strPath;
};
