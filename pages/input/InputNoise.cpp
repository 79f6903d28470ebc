#include "pages/input/InputNoise.h"

#include "controls/PaintBitmap.h"
#include "controls/SharedGdiObjects.h"
#include "link/TALQ50View.h"
#include "model/Globals.h"
#include "platform/gdi/Dc.h"
#include "platform/win/PaintDC.h"

namespace {

constexpr int kThresholdByte = 3;
constexpr int kChosenByte = 7;

} // namespace

BEGIN_MESSAGE_MAP(CInputNoise, CDialog)
ON_WM_PAINT()
ON_WM_DESTROY()
ON_COMMAND(2818, &CInputNoise::OnEditChanged)
ON_COMMAND(2852, &CInputNoise::OnSpinChanged)
END_MESSAGE_MAP()

CInputNoise::CInputNoise() : CDialog(IDD, nullptr) {
    m_bmBackZh.LoadBitmap(1190);
    m_bmBackEn.LoadBitmap(1191);
}

void CInputNoise::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, 2852, m_spin);
    DDX_Control(dx, 2818, m_edit);
}

BOOL CInputNoise::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(g_bChinese ? "噪声门限设置" : "Input noise threshold set");
    m_spin.SetBuddy(&m_edit);
    m_spin.SetRange(kOff, kMax);
    m_edit.SetStep(1.0);
    m_edit.SetOffset(120.0);
    m_edit.SetType(23, "dBu");
    m_edit.SetLimitText(8);
    m_edit.SetFont(&g_fontNumEdit);

    int value;
    {
        CModelLock lock(false);
        value = g_DeviceSettings.SystemData[kThresholdByte];
        // While the last chosen byte is 0 the processor is sent "off",
        // whatever byte 3 holds; show what it gets.
        if (g_DeviceSettings.SystemData[kChosenByte] == 0)
            value = kOff;
    }
    // A byte above the range from the processor shows as -40 dBu; the
    // stored byte changes only when a value is committed.
    m_spin.ShowValue(value);
    return TRUE;
}

void CInputNoise::Apply(int value) {
    {
        CModelLock lock(false);
        BYTE* data = g_DeviceSettings.SystemData;
        if (data[kChosenByte] != 0 && value == data[kThresholdByte])
            return;
    }
    m_edit.SetValue(value);
    m_spin.SetPos(value);
    {
        CModelLock lock(false);
        BYTE* data = g_DeviceSettings.SystemData;
        data[kThresholdByte] = BYTE(value);
        data[kChosenByte] = BYTE(value);
        if (value == kOff)
            data[kThresholdByte] = 0;
    }
    if (m_pView)
        m_pView->RequestSystemBlock5(1);
}

void CInputNoise::OnEditChanged() {
    Apply(m_edit.GetValue());
}

void CInputNoise::OnSpinChanged() {
    Apply(m_spin.GetPos());
}

void CInputNoise::OnPaint() {
    CPaintDC dc(this);
    CBitmap& back = g_bChinese ? m_bmBackZh : m_bmBackEn;
    PaintBitmap(dc, back);
}

BOOL CInputNoise::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
        SetFocus();
        return FALSE;
    }
    return CDialog::PreTranslateMessage(msg);
}
