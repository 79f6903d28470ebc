#pragma once

// A disk for tests that fills up part-way through a save: while it is
// installed, every save gets `room` bytes onto the disk before it is full.

#include "platform/sys/SaveFile.h"

#include <atomic>

namespace platform {

class FullDisk final : public DiskSpace {
public:
    explicit FullDisk(std::size_t room) : m_room(room) { m_previous = SetDiskSpace(this); }
    ~FullDisk() override { SetDiskSpace(m_previous); }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    std::size_t Room(const CString&) override {
        ++saves;
        return m_room;
    }

    // Saves that met this disk; a test sees its fault was in the way.
    std::atomic<int> saves{0};

private:
    std::size_t m_room = 0;
    DiskSpace* m_previous = nullptr;
};

} // namespace platform
