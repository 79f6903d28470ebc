#pragma once

// The off-and-restore of a join: while online, every active member of the
// anchor's group gets a block-31 frame with the output off, then one with
// its saved on/off, straight into the send queue.  The model ends as it was
// and the change tracker sends nothing more for it.

class CKTVCommand;

class CLinkedOutputMute {
public:
    // flag 1 switches the members off, 0 restores what flag 1 saved.
    void Run(int anchor, int flag, CKTVCommand& command);

private:
    int m_saved[12] = {};
};
