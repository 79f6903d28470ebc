#pragma once

// What the desktop tells a program about its user: the system's default
// locale (tests pin it), the current directory and whether a folder exists.
// The documents folder is in ShellFolders.h.

#include "platform/sys/WinTypes.h"

using LCID = DWORD;
inline constexpr LCID kLcidChineseSimplified = 0x0804;
inline constexpr LCID kLcidEnglishUs = 0x0409;

// 0x0804 on a system whose locale is zh_CN, 0x0409 on every other.
LCID GetSystemDefaultLCID();
// The current directory, without a trailing separator.
CString GetCurrentDirectory();
// Whether `path` names an existing folder (not a file).
bool IsExistingFolder(const CString& path);

namespace platform {

// Tests: an empty text restores what the desktop says.
void SetSystemLocaleName(const CString& name);

} // namespace platform
