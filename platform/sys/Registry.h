#pragma once

// The per-user registry the program keeps its settings and USB in-use marks
// in: keys below HKEY_CURRENT_USER named by backslash-separated paths, holding
// string values.  Key and value names compare without regard to ASCII case.
// Every call returns ERROR_SUCCESS or the reason it failed.
//
// The store is a settings file of the user's (~/.config); tests point it at a
// file of their own.

#include "platform/sys/WinTypes.h"

#include <cstdint>

struct RegKey;
using HKEY = RegKey*;
// 32 bits, as the drawing layer declares it too.
using LONG = std::int32_t;

extern HKEY const HKEY_CURRENT_USER;

inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_KEY_DELETED = 1018;

// Opens an existing key; ERROR_FILE_NOT_FOUND when it does not exist.
LONG RegOpenKey(HKEY parent, const CString& subKey, HKEY* result);
// Opens a key, creating it and any missing keys above it.
LONG RegCreateKey(HKEY parent, const CString& subKey, HKEY* result);
LONG RegCloseKey(HKEY key);

// Reads a string value into `value` when it fits a buffer of `bufferSize`
// bytes with its terminating zero (ERROR_MORE_DATA otherwise, `value` kept).
LONG RegQueryStringValue(HKEY key, const CString& name, CString* value, DWORD bufferSize);
LONG RegSetStringValue(HKEY key, const CString& name, const CString& value);
LONG RegDeleteValue(HKEY key, const CString& name);
// Deletes a key with its values; a key that still has subkeys is refused.
LONG RegDeleteKey(HKEY parent, const CString& subKey);

namespace platform {

// Points the registry at `file` (tests); an empty name restores the user's own.
void SetRegistryFile(const std::string& file);

} // namespace platform
