#pragma once

// Which input sources the processor offers in each input mode, by the type of
// its routing table, and the selected source kept valid for the current mode.
struct CModeTable {
    static constexpr int kSources = 7;
    static constexpr int kSelectionNone = 6; // "OFF" is offered in every mode

    int m_nSelection = kSelectionNone;
    int m_CurrentRow[kSources] = {};
    int m_Table0[6][kSources] = {};
    int m_Table1[5][kSources] = {};
    int m_Table2[4][kSources] = {};

    void Init();
    // Makes the row of (mode, type) current when the table has it, then
    // returns 1 when the selection is offered there; otherwise falls back to
    // "OFF" and returns 0.
    int Lookup(int mode, int type);
};
