#pragma once

// The frames waiting for the processor, oldest (the head) first.  Only the
// head is ever written, so frames reach the processor in the order they were
// appended, one outstanding at a time.  The command object is the only user;
// it holds the send lock around every call.

#include "model/SendData.h"

#include <deque>
#include <memory>

class CSendDataQueue {
public:
    void Add(std::unique_ptr<CSendData> frame) { m_frames.push_back(std::move(frame)); }
    CSendData* GetHead() const { return m_frames.empty() ? nullptr : m_frames.front().get(); }
    int GetSize() const { return int(m_frames.size()); }
    // Deletes the head frame; nothing happens on an empty queue.
    void RemoveHead();
    // Deletes every frame.
    void RemoveAll() { m_frames.clear(); }

private:
    std::deque<std::unique_ptr<CSendData>> m_frames;
};
