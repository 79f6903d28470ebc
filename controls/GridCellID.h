#pragma once

// One cell of a grid by row and column; (-1, -1) is no cell.

class CGridCellID final {
public:
    constexpr CGridCellID(int nRow = -1, int nCol = -1) : row(nRow), col(nCol) {}

    constexpr bool IsValid() const { return row >= 0 && col >= 0; }
    constexpr bool operator==(const CGridCellID&) const = default;

    int row;
    int col;
};
