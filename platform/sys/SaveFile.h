#pragma once

// Every file the program writes is saved whole or not at all.  The bytes go
// to a new file beside the target, which takes the target's place only once
// all of them are written and flushed to the disk; a save that fails (a full
// disk, a folder that takes no new file) leaves the target as it was, byte
// for byte, and nothing beside it.

#include "platform/sys/WinTypes.h"

#include <cstddef>
#include <string_view>

namespace platform {

// Writes `bytes` as the whole content of the file at `path`; true when the
// file now holds them.
bool SaveFileWhole(const CString& path, std::string_view bytes);

// The room the disk has for a save.  Tests install one that fills up part-way
// through a save; without one a save gets what the file system gives it.
class DiskSpace {
public:
    virtual ~DiskSpace() = default;
    // How many bytes of a save to `path` the disk takes before it is full.
    virtual std::size_t Room(const CString& path) = 0;
};

// Installs `space` (nullptr: the file system's own) and returns the previous one.
DiskSpace* SetDiskSpace(DiskSpace* space);

} // namespace platform
