#pragma once

// Colour values: COLORREF (0x00BBGGRR, as the program writes them with RGB)
// and the 32-bit ARGB colours of the anti-aliased drawing.  Display-free, so
// the model can carry its curve colours.

#include <cstdint>

using COLORREF = std::uint32_t;
using ARGB = std::uint32_t;

constexpr COLORREF RGB(int r, int g, int b) {
    return COLORREF(r & 0xFF) | (COLORREF(g & 0xFF) << 8) | (COLORREF(b & 0xFF) << 16);
}
constexpr int GetRValue(COLORREF c) {
    return int(c & 0xFF);
}
constexpr int GetGValue(COLORREF c) {
    return int((c >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF c) {
    return int((c >> 16) & 0xFF);
}

// "No colour": the background colour of a tab control that follows the system.
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
// "The owner's colour": a cell colour that follows its grid.
inline constexpr COLORREF CLR_DEFAULT = 0xFF000000;

namespace Gdiplus {

class Color {
public:
    constexpr Color() = default;
    constexpr explicit Color(ARGB argb) : m_argb(argb) {}
    constexpr Color(int r, int g, int b) : Color(255, r, g, b) {}
    constexpr Color(int a, int r, int g, int b)
        : m_argb((ARGB(a & 0xFF) << 24) | (ARGB(r & 0xFF) << 16) | (ARGB(g & 0xFF) << 8) | ARGB(b & 0xFF)) {}

    constexpr ARGB GetValue() const { return m_argb; }
    constexpr int GetA() const { return int(m_argb >> 24); }
    constexpr int GetR() const { return int((m_argb >> 16) & 0xFF); }
    constexpr int GetG() const { return int((m_argb >> 8) & 0xFF); }
    constexpr int GetB() const { return int(m_argb & 0xFF); }
    constexpr COLORREF ToCOLORREF() const { return RGB(GetR(), GetG(), GetB()); }
    constexpr bool operator==(const Color&) const = default;

private:
    ARGB m_argb = 0xFF000000; // opaque black
};

} // namespace Gdiplus
