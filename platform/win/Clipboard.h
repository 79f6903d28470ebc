#pragma once

// The system clipboard's text, UTF-8.  The program puts text there through
// COleDataSource (OleDataSource.h); tests install a clipboard of their own.

#include "platform/sys/WinTypes.h"

namespace platform::win {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void SetText(const CString& text) = 0;
    virtual CString Text() const = 0;
};

// Installs `clipboard` (nullptr: the system's) and returns the previous one.
Clipboard* InstallClipboard(Clipboard* clipboard);
Clipboard& CurrentClipboard();

} // namespace platform::win
