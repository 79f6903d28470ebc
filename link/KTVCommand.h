#pragma once

// The command object the view owns: the send queue of outgoing frames and
// the receiver that turns the processor's byte stream back into frames.
//
// Every queue operation takes the send lock g_csSend (a recursive lock, so a
// caller that already holds it may call these freely).  A pointer returned by
// GetCurrentCommand stays valid only while the caller keeps holding the lock:
// the other thread may pop or clear the queue as soon as it is released.

#include "link/FrameFormat.h"
#include "link/SendDataQueue.h"

#include <memory>

class CKTVCommand {
public:
    CKTVCommand() = default;
    virtual ~CKTVCommand() = default;

    CKTVCommand(const CKTVCommand&) = delete;
    CKTVCommand& operator=(const CKTVCommand&) = delete;

    // Appends at the tail; the queue owns the frame from now on.  A null
    // frame (a builder refused its arguments) is ignored.
    void AddCommand(std::unique_ptr<CSendData> frame);
    // The head frame, or null when the queue is empty.
    CSendData* GetCurrentCommand();
    int GetCommandCount();
    // Deletes the head frame; nothing happens on an empty queue.
    void PopCommand();
    // The head frame goes out again from its first byte.
    void RewindCurrentCommand();
    // Deletes every queued frame and sets the receiver hunting for a frame
    // start again.
    void ClearCommands();

    // The receiver drops what it collected and hunts for 5C 5C 5C EE.
    void ResetReceiver();
    bool IsReceiverHunting() const { return !m_bSynchronised; }

private:
    // Frame being collected, from its start byte EE (preamble dropped).
    static constexpr std::size_t kReceiveBufferSize = 400;
    static constexpr std::size_t kResetZeroBytes = 300;

    BYTE m_FrameBuf[kReceiveBufferSize] = {};
    CSendDataQueue m_SendQueue;
    int m_nByteCount = 0;
    int m_bSynchronised = 0;
};
