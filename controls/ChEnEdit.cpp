#include "controls/ChEnEdit.h"

#include "platform/sys/Gbk.h"

#include <string_view>

BEGIN_MESSAGE_MAP(CChEnEdit, CEdit)
ON_WM_CHAR()
ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

namespace {

// The length of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8)
        return 4;
    if (lead >= 0xE0)
        return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

// Calls `visit` with each character of a UTF-8 text.
template <typename F> void ForEachCharacter(std::string_view text, F&& visit) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = std::min(SequenceLength(static_cast<unsigned char>(text[i])), text.size() - i);
        visit(text.substr(i, n));
        i += n;
    }
}

// Two GBK bytes: a lead byte and its trail byte.  A character that GBK
// cannot encode never becomes a name byte pair, so it counts as one.
bool IsDoubleByte(std::string_view character) {
    const auto length = platform::GbkLength(character);
    return length && *length == 2;
}

CString Utf8Of(UINT ch) {
    CString out;
    if (ch < 0x80) {
        out += char(ch);
    } else if (ch < 0x800) {
        out += char(0xC0 | (ch >> 6));
        out += char(0x80 | (ch & 0x3F));
    } else {
        out += char(0xE0 | (ch >> 12));
        out += char(0x80 | ((ch >> 6) & 0x3F));
        out += char(0x80 | (ch & 0x3F));
    }
    return out;
}

// GBK bytes of the text outside the selection [start, end) (in characters).
std::size_t UnselectedBytes(const CString& text, int start, int end) {
    std::size_t bytes = 0;
    int index = 0;
    ForEachCharacter(text, [&](std::string_view c) {
        if (index < start || index >= end)
            bytes += IsDoubleByte(c) ? 2 : 1;
        ++index;
    });
    return bytes;
}

// Puts a space before every double-byte character that follows an odd number
// of single-byte characters since the start or the last space so put.
CString AlignDoubleByte(const CString& text) {
    // Walks characters, not bytes: a GBK trail byte may be below 0x80 and
    // must not count as a single-byte character of its own.
    CString out;
    int singles = 0;
    ForEachCharacter(text, [&](std::string_view c) {
        if (!IsDoubleByte(c)) {
            ++singles;
        } else if (singles % 2 != 0) {
            out += ' ';
            singles = 0;
        }
        out += c;
    });
    return out;
}

} // namespace

void CChEnEdit::OnChar(UINT ch, UINT repeat, UINT flags) {
    const bool surrogate = ch >= 0xD800 && ch < 0xE000;
    if (surrogate || !IsDoubleByte(Utf8Of(ch))) {
        CEdit::OnChar(ch, repeat, flags);
        return;
    }
    if (!m_bEvenAlign)
        return; // double-byte characters are refused
    int start = 0, end = 0;
    GetSel(start, end);
    if (UnselectedBytes(GetWindowText(), start, end) % 2 != 0) {
        const MSG* current = GetCurrentMessage();
        DefWindowProc(WM_CHAR, ' ', current ? current->lParam : 1);
    }
    CEdit::OnChar(ch, repeat, flags);
}

void CChEnEdit::OnKillFocus(CWnd* newWnd) {
    CEdit::OnKillFocus(newWnd);
    if (!m_bEvenAlign)
        return;
    SetWindowText(AlignDoubleByte(GetWindowText()));
}
