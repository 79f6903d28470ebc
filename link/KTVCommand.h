#pragma once

// The command object the view owns: the send queue of outgoing frames and
// the receiver that turns the processor's byte stream back into frames.
//
// Every queue operation takes the send lock g_csSend (a recursive lock, so a
// caller that already holds it may call these freely).  A pointer returned by
// GetCurrentCommand stays valid only while the caller keeps holding the lock:
// the other thread may pop or clear the queue as soon as it is released.

#include "link/SendDataQueue.h"
#include "model/FrameFormat.h"
#include "platform/sys/Messages.h"

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

    // The receiver drops what it collected, a preamble begun included, and
    // the bytes kept from the last read, and hunts for 5C 5C 5C EE.
    void ResetReceiver();
    bool IsReceiverHunting() const { return !m_bSynchronised; }

    // ---- Receiver and reply parser (communication thread only) ----
    //
    // Replies come in as a byte stream: USB input reports or TCP receives.
    // The receiver hunts for 5C 5C 5C EE, collects one frame up to the length
    // its header announces, checks it and dispatches it by its reply code:
    // 0x51 removes the head frame, 0x52 rewinds it for another write, 0x53
    // stores the data into the device images or the settings area and tells
    // the view.  A data reply counts only when it answers the head frame (the
    // same data type and channel or sub-id, and for a record the same preset):
    // anything else is a late answer to an earlier request or news nobody
    // asked for, and is dropped while the read goes on.  A reply that could
    // not have come from a request in the queue (wrong length, channel, preset
    // or sub-id for its destination, or an empty queue) is dropped and nothing
    // is written.  Bytes that follow the reply that ended an exchange in the
    // same read are parsed first by the next call.

    // The window that receives the parser's notices (the view).
    void SetNotifyWnd(HWND wnd) { m_pNotifyWnd = wnd; }

    // Takes bytes 1..64 of g_UsbInReport.  Returns 1 when the exchange is over
    // (a reply was taken, or there is no open device to read from), else 0.
    int OnHidReport(int reportLength);
    // Takes `count` bytes of g_NetRecvBuf; same result.
    int OnNetworkData(int count);
    // Moves `count` newly staged bytes through the receiver.  1 when a reply
    // completed the exchange and the read may end.
    int ReceiveBytes(int count);
    // Checks and dispatches the collected frame; result as for ReceiveBytes.
    int CmdCallback();

    // Progress of the head frame, run for every reply that takes it off the queue.
    void UpDataPGRange();
    // End of a firmware transfer over TCP.
    void FinishUpgrade();
    // The processor rejected the head frame.
    void MarkCurrentFailed();

private:
    // Frame being collected, from its start byte EE (preamble dropped): code,
    // address, preset, type, channel, block, link flag, reserved, length
    // (2 bytes), payload, check, end.  A frame of payload L takes L + 13.
    static constexpr std::size_t kReceiveBufferSize = 400;
    static constexpr std::size_t kResetZeroBytes = 300;
    static constexpr std::size_t kCarryBufferSize = kReceiveBufferSize;
    static constexpr int kFrameHeadBytes = 11;
    static constexpr int kFrameFixedBytes = 13;

    // Clears the receiver without touching the collected bytes.
    void ClearReceiver();
    // Runs `count` bytes of `stream` from `pos` through the receiver until a
    // reply ends the exchange; `pos` ends after the last byte taken.
    int Parse(const BYTE* stream, int count, int& pos);
    // Whether the data reply collected answers the head frame.
    bool AnswersHead();
    // The reply answered the head frame: its progress, then off the queue.
    void CompleteHead();
    int OnDataReply();
    bool StoreMusicRecord();
    bool StoreOutputRecord();
    bool StoreDeviceInfo();
    bool StoreStatusList();
    // The image a record reply lands in.
    BYTE* RecordImage() const;
    const BYTE* Payload() const { return m_FrameBuf + kFrameHeadBytes; }
    void Notify(UINT message, WPARAM wParam, LPARAM lParam) const;

    HWND m_pNotifyWnd = nullptr;
    int m_nExpectedLen = 0;
    BYTE m_FrameBuf[kReceiveBufferSize] = {};
    BYTE m_StageBuf[kReceiveBufferSize] = {};
    // What a read brought after the reply that ended its exchange, oldest
    // first; at most the newest kCarryBufferSize bytes are kept.
    BYTE m_CarryBuf[kCarryBufferSize] = {};
    int m_nCarryCount = 0;
    CSendDataQueue m_SendQueue;
    int m_nPreambleCount = 0;
    int m_nByteCount = 0;
    int m_nReadIndex = 0;
    int m_nPayloadLen = 0;
    int m_nReplyCode = 0;
    int m_nDataType = 0;
    int m_nPreset = 0;
    int m_nChannel = 0;
    int m_nBlock = 0;
    BYTE m_byCheck = 0;
    int m_bSynchronised = 0;
    int m_bFirmwareDataPhase = 0;
};
