#pragma once

// A rectangle of grid cells, bounds included; (-1, -1, -1, -1) is empty.

class CGridCellRange final {
public:
    constexpr CGridCellRange(int nMinRow = -1, int nMinCol = -1, int nMaxRow = -1, int nMaxCol = -1)
        : m_nMinRow(nMinRow), m_nMinCol(nMinCol), m_nMaxRow(nMaxRow), m_nMaxCol(nMaxCol) {}

    // Well formed, whatever the grid: no negative bound, min <= max.
    constexpr bool IsValid() const {
        return m_nMinRow >= 0 && m_nMinCol >= 0 && m_nMaxRow >= 0 && m_nMaxCol >= 0 &&
               m_nMinRow <= m_nMaxRow && m_nMinCol <= m_nMaxCol;
    }
    constexpr bool InRange(int row, int col) const {
        return row >= m_nMinRow && row <= m_nMaxRow && col >= m_nMinCol && col <= m_nMaxCol;
    }
    constexpr int GetMinRow() const { return m_nMinRow; }
    constexpr int GetMinCol() const { return m_nMinCol; }
    constexpr int GetMaxRow() const { return m_nMaxRow; }
    constexpr int GetMaxCol() const { return m_nMaxCol; }
    constexpr bool operator==(const CGridCellRange&) const = default;

private:
    int m_nMinRow;
    int m_nMinCol;
    int m_nMaxRow;
    int m_nMaxCol;
};
