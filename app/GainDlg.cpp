#include "app/GainDlg.h"

#include "link/TALQ50View.h"
#include "model/Globals.h"
#include "platform/sys/UserMessages.h"
#include "platform/win/PaintDC.h"

namespace {

constexpr UINT kEditId = 2812;
constexpr UINT kSpinId = 2814;
constexpr UINT kFaderId = 2816;
constexpr UINT kMuteId = 2819;
// Shown value = value - 60 dB; 0 shows the off text.
constexpr int kDisplayType = 25;
constexpr double kStepDb = 1.0;
constexpr double kOffsetDb = 60.0;

} // namespace

BEGIN_MESSAGE_MAP(CGainDlg, CDialog)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_MESSAGE(UM_SLIDER_POSITION, &CGainDlg::OnSliderPosition)
ON_MESSAGE(UM_SLIDER_TRACKING, &CGainDlg::OnSliderTracking)
ON_COMMAND(2812, &CGainDlg::OnValueEntered)
ON_COMMAND(2814, &CGainDlg::OnValueEntered)
ON_BN_CLICKED(2819, &CGainDlg::OnMute)
END_MESSAGE_MAP()

void CGainDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, kEditId, m_edit);
    DDX_Control(dx, kSpinId, m_spin);
    DDX_Control(dx, kFaderId, m_fader);
    DDX_Control(dx, kMuteId, m_btnMute);
}

BOOL CGainDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_bmBackground[0][0].LoadBitmap(739);
    m_bmBackground[1][0].LoadBitmap(1153);
    m_bmBackground[0][1].LoadBitmap(1211);
    m_bmBackground[1][1].LoadBitmap(1212);

    m_spin.SetBuddy(&m_edit);
    m_spin.SetRange(0, kMaxValue);
    m_edit.SetStep(kStepDb);
    m_edit.SetOffset(kOffsetDb);
    m_edit.SetType(kDisplayType, "");
    m_edit.SetSlider(&m_fader);

    m_fader.SetRange(0, kMaxValue, FALSE);
    m_fader.SetMargin(36, 3, 1, -2);
    m_btnMute.SetBitmaps(1007, 1006, 1008, 1008, 1009, 1007);
    return TRUE;
}

void CGainDlg::SetFaderBitmaps(UINT channel, UINT active, BOOL transparent, COLORREF mask, int x, int y) {
    m_fader.SetBitmapChannel(channel, active, transparent, mask, x, y);
}

void CGainDlg::SetFaderThumb(UINT thumb, UINT active, BOOL transparent, COLORREF mask, int x, int y) {
    m_fader.SetBitmapThumb(thumb, active, transparent, mask, x, y);
}

void CGainDlg::SetFaderRange(int lowOffset, int maximum, BOOL redraw) {
    m_fader.SetRange(lowOffset, maximum, redraw);
}

void CGainDlg::SetFaderPos(int value) {
    // Through the spin: an arrow key steps from its copy of the position,
    // so a copy left behind would make the volume jump.
    m_fader.SetPos(m_spin.ShowValue(value));
}

int CGainDlg::GetFaderPos() const {
    return m_fader.GetPos();
}

void CGainDlg::PostValue(int value) {
    if (CWnd* parent = GetParent())
        parent->PostMessage(UM_MASTER_GAIN_CHANGED, WPARAM(GetDlgCtrlID()), LPARAM(value));
}

LRESULT CGainDlg::OnSliderPosition(WPARAM id, LPARAM) {
    if (id != kFaderId)
        return 0;
    const int value = m_fader.GetPos();
    m_spin.SetPos(value);
    m_edit.SetFocus();
    PostValue(value);
    return 0;
}

LRESULT CGainDlg::OnSliderTracking(WPARAM id, LPARAM) {
    if (id != kFaderId)
        return 0;
    const int value = m_fader.GetPos();
    m_spin.SetPos(value);
    PostValue(value);
    return 0;
}

void CGainDlg::OnValueEntered() {
    const int value = m_spin.GetPos();
    m_fader.SetPos(value);
    PostValue(value);
}

void CGainDlg::OnMute() {
    const BOOL wasMuted = m_btnMute.GetSelected();
    g_bMasterOn = BYTE(wasMuted ? 1 : 0);
    if (m_pView)
        m_pView->RequestSystemBlock5(1);
    m_btnMute.SetSelected(!wasMuted);
}

BOOL CGainDlg::PreTranslateMessage(MSG* msg) {
    // Moving the focus to the panel commits a value being typed; the panel
    // itself never closes.
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
        SetFocus();
        return TRUE;
    }
    return CDialog::PreTranslateMessage(msg);
}

void CGainDlg::OnPaint() {
    CPaintDC dc(this);
    CBitmap& background = m_bmBackground[g_bChinese ? 0 : 1][g_bPresetLocked ? 1 : 0];
    if (!background.GetSafeHandle())
        return;
    const CSize size = background.GetBitmapDimension();
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    CBitmap* old = memory.SelectObject(&background);
    dc.BitBlt(0, 0, size.cx, size.cy, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
}
