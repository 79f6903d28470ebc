#pragma once

// The order of a firmware transfer's frames.  Whenever the send queue runs
// empty the firmware write step asks for the next frame(s): first the
// handshake marker, then the DSP part ('6', ':', the ';' data frames, and
// '9' when there is no MCU image) and the MCU part ('6' unless the DSP part
// opened the transfer, '7', the '8' data frames, '9').  Where each part
// stands is process-wide state (g_nDspPhase, g_nMcuPhase, ... in
// link/LinkGlobals.h) that a load sets up.
//
// The frames of one call are numbered 1, 2, ... as their progress position
// ('9' repeats the number before it); the reply parser moves the firmware
// progress bar when the processor accepts them.

#include "link/FirmwareFile.h"

class CKTVCommand;

class CFirmwareQueue {
public:
    // Loads the file and sets up a new transfer: handshake pending, every
    // phase at its start.  On any result but Loaded there is nothing to send.
    CFirmwareFile::LoadResult Load(const CString& path);
    const CFirmwareFile& File() const { return m_file; }

    // Queues what comes next; nothing once the transfer is complete.  Runs on
    // the communication thread; appends under the send lock.
    void NextFirmwareFrame(CKTVCommand& command);
    void QueueFirmwareHandshake(CKTVCommand& command);
    void QueueDspFirmwareFrames(CKTVCommand& command);
    void QueueMcuFirmwareFrames(CKTVCommand& command);

private:
    CFirmwareFile m_file;
};
