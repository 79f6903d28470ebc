#include "controls/GradientProgressCtrl.h"

#include "controls/MyMemDC.h"
#include "platform/win/PaintDC.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

BEGIN_MESSAGE_MAP(CGradientProgressCtrl, CProgressCtrl)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

CGradientProgressCtrl::CGradientProgressCtrl() : m_crBack(GetSysColor(COLOR_BTNFACE)) {}

void CGradientProgressCtrl::SetRange(int lower, int upper) {
    m_nLower = lower;
    m_nUpper = upper;
    m_nPos = lower;
    if (GetSafeHwnd())
        SendMessage(PBM_SETRANGE, 0, MAKELPARAM(lower, upper));
}

void CGradientProgressCtrl::SetPos(int pos) {
    pos = std::min(pos, m_nUpper.load());
    m_nPos = pos;
    // Posted, not sent: the communication thread must not wait for the GUI.
    if (const HWND hwnd = GetSafeHwnd())
        ::PostMessage(hwnd, PBM_SETPOS, WPARAM(pos), 0);
}

void CGradientProgressCtrl::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    const int lower = m_nLower, upper = m_nUpper, pos = m_nPos;
    // An upper bound of 0 or less has no filled part to scale to.
    if (pos <= lower || pos > upper || upper <= 0) {
        CRect all = client;
        all.InflateRect(2, 2);
        dc.FillSolidRect(&all, m_crBack);
        return;
    }
    const int filled = int(float(pos) / float(upper) * float(client.right));
    {
        CMyMemDC mem(&dc);
        DrawRamp(mem, client, filled);
    }
    if (!m_bShowPercent)
        return;
    dc.SetTextColor(m_crText);
    dc.SetBkMode(TRANSPARENT);
    dc.DrawText(PercentText(pos, lower, upper), &client, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

CString CGradientProgressCtrl::PercentText(int pos, int lower, int upper) {
    const float percent = float(pos - lower) * 100.0f / float(upper - lower);
    char text[32];
    std::snprintf(text, sizeof text, pos == upper ? "%3.0f %%" : "%3.2f %%", double(percent));
    return text;
}

// Band i of n has the colour start + i x (end - start) / n; the band that
// crosses the filled extent is drawn whole.
void CGradientProgressCtrl::DrawRamp(CDC* dc, const CRect& client, int filled) {
    const int dR = GetRValue(m_crEnd) - GetRValue(m_crStart);
    const int dG = GetGValue(m_crEnd) - GetGValue(m_crStart);
    const int dB = GetBValue(m_crEnd) - GetBValue(m_crStart);
    const int bands = std::max({std::abs(dR), std::abs(dG), std::abs(dB), 1});
    const float width = float(client.right) / float(bands);
    const float incR = float(dR) / float(bands), incG = float(dG) / float(bands),
                incB = float(dB) / float(bands);
    for (int i = 0; i < bands; ++i) {
        const CRect band(int(float(i) * width), 0, int(float(i + 1) * width), client.bottom + 1);
        const COLORREF color = RGB(int(float(GetRValue(m_crStart)) + float(i) * incR) & 0xFF,
                                   int(float(GetGValue(m_crStart)) + float(i) * incG) & 0xFF,
                                   int(float(GetBValue(m_crStart)) + float(i) * incB) & 0xFF);
        CBrush brush(color);
        dc->FillRect(&band, &brush);
        if (band.right > filled) {
            const CRect rest(band.right, 0, client.right, client.bottom);
            dc->FillSolidRect(&rest, m_crBack);
            break;
        }
    }
}
