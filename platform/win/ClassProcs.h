#pragma once

// Default procedures of window classes that live in files of their own.

namespace platform::win {
class WindowClass;
WindowClass& ListBoxProc();  // "ListBox"
WindowClass& ProgressProc(); // "msctls_progress32"
} // namespace platform::win
