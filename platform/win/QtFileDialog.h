#pragma once

// The file dialogs of the program, shown with Qt's file dialog.  Made once by
// the program's main; tests answer the dialogs themselves.

#include "platform/sys/FileDialog.h"

#include <QStringList>

namespace platform::win {

class QtFileDialog final : public FileDialogHandler {
public:
    QtFileDialog();
    ~QtFileDialog() override;
    QtFileDialog(const QtFileDialog&) = delete;
    QtFileDialog& operator=(const QtFileDialog&) = delete;

    bool Choose(const FileDialogRequest& request, CString& path) override;

    // "description|pattern|...||" as Qt's name filters ("description (pattern)").
    static QStringList NameFilters(const CString& filter);

    // The folder the dialog opens in: the one asked for, or its nearest
    // ancestor that exists (Qt would offer a missing folder's name as the
    // file name).  Empty stays empty.
    static QString StartFolder(const CString& initialDir);

private:
    FileDialogHandler* m_previous = nullptr;
};

} // namespace platform::win
