#pragma once

// The user's shell folders the program keeps files in.

#include "platform/sys/WinTypes.h"

namespace platform {

// The user's documents folder, whether or not it exists yet.
CString DocumentsFolder();

// Tests point the documents folder at a folder of their own; an empty path
// restores the user's.
void SetDocumentsFolder(const CString& folder);

} // namespace platform
