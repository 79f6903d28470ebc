#include "pages/output/DelayDlg.h"

#include "model/Globals.h"
#include "platform/sys/UserMessages.h"
#include "platform/win/PaintDC.h"

namespace {

constexpr UINT kButtonIds[3] = {2819, 2820, 2821};
// First of three consecutive pictures (off, hover, on) of each unit.
constexpr UINT kFirstBitmapZh[3] = {4330, 4333, 4336};
constexpr UINT kFirstBitmapEn[3] = {4320, 4323, 4326};
constexpr UINT kBackgroundZh = 873;
constexpr UINT kBackgroundEn = 1005;

} // namespace

BEGIN_MESSAGE_MAP(CDelayDlg, CDialog)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_BN_CLICKED(2819, &CDelayDlg::OnMs)
ON_BN_CLICKED(2820, &CDelayDlg::OnCm)
ON_BN_CLICKED(2821, &CDelayDlg::OnInch)
END_MESSAGE_MAP()

void CDelayDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    for (int i = 0; i < 3; ++i)
        DDX_Control(dx, kButtonIds[i], m_btnUnit[i]);
}

BOOL CDelayDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetUnitButtons(m_nState[0], m_nState[1], m_nState[2]);
    m_bmBackground[0].LoadBitmap(kBackgroundZh);
    m_bmBackground[1].LoadBitmap(kBackgroundEn);
    return TRUE;
}

void CDelayDlg::SetUnitButton(Unit unit, int state) {
    const int i = unit - 1;
    m_nState[i] = state;
    const UINT first = g_bChinese ? kFirstBitmapZh[i] : kFirstBitmapEn[i];
    const UINT off = first, hover = first + 1, on = first + 2;
    if (state)
        m_btnUnit[i].SetBitmaps(on, on, off, 0, 0, 0);
    else
        m_btnUnit[i].SetBitmaps(off, hover, on, 0, 0, 0);
}

void CDelayDlg::SetUnitButton1(int state) {
    SetUnitButton(kMs, state);
}

void CDelayDlg::SetUnitButton2(int state) {
    SetUnitButton(kCm, state);
}

void CDelayDlg::SetUnitButton3(int state) {
    SetUnitButton(kInch, state);
}

void CDelayDlg::SetUnitButtons(int ms, int cm, int inch) {
    SetUnitButton1(ms);
    SetUnitButton2(cm);
    SetUnitButton3(inch);
}

void CDelayDlg::Choose(Unit unit) {
    SetUnitButton(unit, 1);
    for (Unit other : {kMs, kCm, kInch})
        if (other != unit && m_nState[other - 1] == 1)
            SetUnitButton(other, 0);
    if (CWnd* parent = GetParent())
        parent->PostMessage(UM_DELAY_UNIT_CHANGED, WPARAM(GetDlgCtrlID()), LPARAM(unit));
}

BOOL CDelayDlg::PreTranslateMessage(MSG* msg) {
    // The panel is a child of the page: neither key may reach a button or
    // close anything; moving the focus commits whatever was being edited.
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
        SetFocus();
        return TRUE;
    }
    return CDialog::PreTranslateMessage(msg);
}

void CDelayDlg::OnPaint() {
    CPaintDC dc(this);
    CBitmap& background = m_bmBackground[g_bChinese ? 0 : 1];
    if (!background.GetSafeHandle())
        return;
    const CSize size = background.GetBitmapDimension();
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    CBitmap* old = memory.SelectObject(&background);
    dc.BitBlt(0, 0, size.cx, size.cy, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
}
