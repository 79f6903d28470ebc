#include "model/ModeTable.h"

#include <algorithm>

namespace {

constexpr int kType0[6][CModeTable::kSources] = {
    {0, 1, 1, 1, 1, 1, 1}, {1, 0, 1, 1, 0, 0, 1}, {1, 1, 0, 0, 1, 1, 1},
    {1, 1, 0, 0, 1, 1, 1}, {1, 0, 1, 1, 0, 1, 1}, {1, 0, 1, 1, 1, 0, 1},
};
constexpr int kType1[5][CModeTable::kSources] = {
    {0, 1, 1, 1, 1, 0, 1}, {1, 0, 1, 0, 0, 0, 1}, {1, 1, 0, 0, 1, 0, 1},
    {1, 0, 0, 0, 1, 0, 1}, {1, 0, 1, 1, 0, 0, 1},
};
constexpr int kType2[4][CModeTable::kSources] = {
    {0, 1, 1, 1, 0, 0, 1},
    {1, 0, 1, 0, 0, 0, 1},
    {1, 1, 0, 0, 0, 0, 1},
    {1, 0, 0, 0, 0, 0, 1},
};

template <std::size_t Rows>
void CopyRows(int (&to)[Rows][CModeTable::kSources], const int (&from)[Rows][CModeTable::kSources]) {
    for (std::size_t r = 0; r < Rows; ++r)
        std::copy_n(from[r], CModeTable::kSources, to[r]);
}

} // namespace

void CModeTable::Init() {
    m_nSelection = kSelectionNone;
    CopyRows(m_Table0, kType0);
    CopyRows(m_Table1, kType1);
    CopyRows(m_Table2, kType2);
    std::copy_n(m_Table0[0], kSources, m_CurrentRow);
}

int CModeTable::Lookup(int mode, int type) {
    const int* row = nullptr;
    if (type == 0 && mode >= 0 && mode < 6)
        row = m_Table0[mode];
    else if (type == 1 && mode >= 0 && mode < 5)
        row = m_Table1[mode];
    else if (type == 2 && mode >= 0 && mode < 4)
        row = m_Table2[mode];
    if (row)
        std::copy(row, row + kSources, m_CurrentRow);

    // The selection comes from the processor's reply unchecked; anything
    // outside the seven sources means no source.
    if (m_nSelection < 0 || m_nSelection >= kSources)
        m_nSelection = kSelectionNone;
    if (m_CurrentRow[m_nSelection] != 0)
        return 1;
    m_nSelection = kSelectionNone;
    return 0;
}
