#pragma once

// The four manual-reset events the communication thread waits on.  A set
// event stays set until it is reset; a wait answers with the lowest set index
// it was asked about.
//
// Quit also wakes QuitWakeup(), which every other wait of the thread goes
// through: its pauses, and the ping, connect, sends and receives of its link.
// So a thread told to quit stops waiting at once, wherever it is, instead of
// sitting out a pause or a processor that no longer answers.

#include "platform/sys/Wakeup.h"

#include <condition_variable>
#include <mutex>

class CCommEvents {
public:
    enum Index { Quit = 0, Suspend = 1, FirmwareStep = 2, DataStep = 3, Count = 4 };

    static constexpr unsigned kAll = (1u << Count) - 1;
    static constexpr unsigned Bit(Index index) { return 1u << index; }

    void Set(Index index);
    void Reset(Index index);
    void ResetAll();
    bool IsSet(Index index);

    // The lowest set index among the events in `mask`, or -1 when none was set
    // within `timeoutMs`.
    int WaitAny(unsigned mask, int timeoutMs);

    // Woken from the moment Quit is set until Quit is reset.
    platform::Wakeup& QuitWakeup() { return m_quit; }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_set[Count] = {};
    platform::Wakeup m_quit;
};
