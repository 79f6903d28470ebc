#pragma once

// One outgoing frame: its bytes and the marks the communication thread and
// the reply parser keep on it while it waits in the send queue.

#include "platform/sys/WinTypes.h"

#include <vector>

class CSendData {
public:
    CSendData() = default;
    virtual ~CSendData() = default;

    CSendData(const CSendData&) = delete;
    CSendData& operator=(const CSendData&) = delete;

    // The frame bytes; the length becomes their count.
    void SetData(std::vector<BYTE> data);
    const BYTE* GetData() const { return m_data.data(); }
    // The length never exceeds the bytes held, so no reader can run past them.
    void SetLength(int length);
    int GetLength() const { return m_nLength; }

    void SetRetries(int retries) { m_nRetries = retries; }
    int GetRetries() const { return m_nRetries; }
    void SetCountsProgress(int counts) { m_bCountsProgress = counts; }
    int GetCountsProgress() const { return m_bCountsProgress; }
    void SetProgressPos(int pos) { m_nProgressPos = pos; }
    int GetProgressPos() const { return m_nProgressPos; }
    void SetNotifyLast(int notify) { m_bNotifyLast = notify; }
    int GetNotifyLast() const { return m_bNotifyLast; }
    void SetNotifyEnd(int notify) { m_bNotifyEnd = notify; }
    int GetNotifyEnd() const { return m_bNotifyEnd; }
    // The firmware step of a firmware frame, 0 for every other frame.
    void SetCommand(int step) { m_nCommand = step; }
    int GetCommand() const { return m_nCommand; }
    void SetFailed(int failed) { m_bFailed = failed; }
    int GetFailed() const { return m_bFailed; }

    // Puts the next 64 frame bytes into g_UsbOutReport (report id 0, a short
    // last piece zero-filled) and returns 1; returns 0 once the whole frame
    // went out.
    int NextHidChunk();
    // The next NextHidChunk starts again at the first frame byte.
    void RewindChunks() { m_nChunkPos = 0; }
    // Index of the next frame byte NextHidChunk sends; 0 before a write.
    int GetChunkPos() const { return m_nChunkPos; }

private:
    std::vector<BYTE> m_data;
    int m_nLength = 0;
    int m_nRetries = 0;
    int m_bCountsProgress = 0;
    int m_nProgressPos = 0;
    int m_bNotifyLast = 0;
    int m_bNotifyEnd = 0;
    int m_nChunkPos = 0;
    int m_nCommand = 0;
    int m_bFailed = 0;
};
