#include "pages/input/RouteMixCom.h"

#include "controls/PaintBitmap.h"
#include "controls/SharedGdiObjects.h"
#include "model/Globals.h"
#include "model/KTV_OutData.h"
#include "platform/gdi/Dc.h"
#include "platform/sys/UserMessages.h"
#include "platform/win/PaintDC.h"

// Rows 7-14 set levels 9-16 and rows 15-16 levels 7-8: the row order follows
// the inputs, the level order the processor's memory.
const CRouteMixCom::Row CRouteMixCom::kRowTable[kRows] = {
    {"Hi.Level1", "高电平1", 1, 2818, 2837, 2838, 1182},
    {"Hi.Level2", "高电平2", 2, 2820, 2839, 2840, 1182},
    {"Hi.Level3", "高电平3", 3, 2822, 2841, 2842, 1182},
    {"Hi.Level4", "高电平4", 4, 2824, 2843, 2844, 1182},
    {"Hi.Level5", "高电平5", 5, 2826, 2845, 2846, 1182},
    {"Hi.Level6", "高电平6", 6, 2828, 2847, 2848, 1182},
    {"RCA In1", "AUX1", 9, 2830, 2849, 2850, 1183},
    {"RCA In2", "AUX2", 10, 2832, 2851, 2852, 1183},
    {"RCA In3", "AUX3", 11, 2834, 2853, 2854, 1183},
    {"RCA In4", "AUX4", 12, 2836, 2855, 2856, 1183},
    {"RCA In5", "AUX5", 13, 2860, 2858, 2859, 1183},
    {"RCA In6", "AUX6", 14, 2864, 2862, 2863, 1183},
    {"SPDIF-L", "数字左", 15, 2868, 2866, 2867, 1184},
    {"SPDIF-R", "数字右", 16, 2872, 2870, 2871, 1184},
    {"Bluetooth-L", "蓝牙左", 7, 2876, 2874, 2875, 1185},
    {"Bluetooth-R", "蓝牙右", 8, 2880, 2878, 2879, 1185},
    {nullptr, nullptr, 17, 2887, 2886, 2890, 1183},
    {nullptr, nullptr, 18, 2889, 2888, 2891, 1183},
};

namespace {

constexpr int kMaxLevel = 100;

} // namespace

BEGIN_MESSAGE_MAP(CRouteMixCom, CDialog)
ON_MESSAGE(UM_SLIDER_POSITION, &CRouteMixCom::OnSliderPosition)
ON_MESSAGE(UM_SLIDER_TRACKING, &CRouteMixCom::OnSliderTracking)
ON_WM_LBUTTONDOWN()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_DESTROY()
END_MESSAGE_MAP()

CRouteMixCom::CRouteMixCom() : CDialog(IDD, nullptr) {
    m_bmBackground.LoadBitmap(1172);
}

void CRouteMixCom::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    for (int r = 0; r < kRows; ++r) {
        DDX_Control(dx, int(kRowTable[r].edit), m_edit[r]);
        DDX_Control(dx, int(kRowTable[r].slider), m_slider[r]);
        DDX_Control(dx, int(kRowTable[r].spin), m_spin[r]);
    }
}

void CRouteMixCom::InitLayoutA() {
    CDialog::OnInitDialog();
    m_toolTip.Create(this, 0);
    for (int r = 0; r < kShownRows; ++r) {
        const char* text = g_bChinese ? kRowTable[r].tipZh : kRowTable[r].tipEn;
        m_toolTip.AddTool(&m_edit[r], text);
        m_toolTip.AddTool(&m_slider[r], text);
    }
    for (int r = 0; r < kRows; ++r)
        m_slider[r].SetBitmapChannel(kRowTable[r].channel, 1252, FALSE, 0, 0, 0);
    for (int r = 0; r < kRows; ++r)
        m_slider[r].SetBitmapThumb(1099, 1100, FALSE, 0, 0, 0);
    for (int r = 0; r < kRows; ++r) {
        m_spin[r].SetBuddy(&m_edit[r]);
        m_spin[r].SetRange(0, kMaxLevel);
        m_edit[r].SetStep(1.0);
        m_edit[r].SetType(33, "");
        m_edit[r].SetSlider(&m_slider[r]);
        m_edit[r].SetFont(&g_fontNumEdit, TRUE);
        m_slider[r].SetValueKind(33);
        m_slider[r].SetVerticalDrag(0);
        m_slider[r].SetRange(0, kMaxLevel, FALSE);
        m_slider[r].SetMargin(2, 2, 1, 2);
        m_slider[r].SetBuddy(&m_edit[r]);
        m_edit[r].SetSlider(&m_slider[r]);
    }
}

void CRouteMixCom::RefreshFromData() {
    for (int r = 0; r < kShownRows; ++r) {
        // The model, not the image: an offline edit is in the model only.
        // A level above 100 from a file or the processor shows as 100.
        const int stored = m_pOutData ? m_pOutData->GetMixLevel(kRowTable[r].level) : 0;
        m_slider[r].SetPos(m_spin[r].ShowValue(stored));
    }
    Invalidate(TRUE);
}

void CRouteMixCom::ReleaseSliderBitmaps() {
    for (CBitmapSlider& slider : m_slider) {
        slider.SetBitmapChannel(0, 0, FALSE, 0, 0, 0);
        slider.SetBitmapThumb(0, 0, FALSE, 0, 0, 0);
    }
}

void CRouteMixCom::SetLevel(int row, int value) {
    if (m_pOutData)
        m_pOutData->SetMixLevel(kRowTable[row].level, BYTE(value));
}

void CRouteMixCom::PostRow(int row) {
    if (m_pOwner && m_pOwner->GetSafeHwnd())
        m_pOwner->PostMessage(UM_MIX_ROW_SELECTED, WPARAM(row), 0);
}

LRESULT CRouteMixCom::OnSliderPosition(WPARAM id, LPARAM) {
    for (int r = 0; r < kRows; ++r) {
        if (kRowTable[r].slider != id)
            continue;
        const int v = m_slider[r].GetPos();
        m_edit[r].SetValue(v);
        m_spin[r].SetPos(v);
        SetLevel(r, v);
    }
    return 1;
}

LRESULT CRouteMixCom::OnSliderTracking(WPARAM id, LPARAM position) {
    return OnSliderPosition(id, position);
}

BOOL CRouteMixCom::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    if (HIWORD(wParam) == 0) {
        for (int r = 0; r < kRows; ++r) {
            if (kRowTable[r].edit == id) {
                OnRowEdit(r);
                return TRUE;
            }
            if (kRowTable[r].spin == id) {
                OnRowSpin(r);
                return TRUE;
            }
            if (kRowTable[r].slider == id) {
                OnRowSliderClick(r);
                return TRUE;
            }
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CRouteMixCom::OnRowEdit(int row) {
    PostRow(row + 1);
    const int v = m_edit[row].GetValue();
    m_spin[row].SetPos(v);
    m_slider[row].SetPos(v);
    SetLevel(row, v);
}

void CRouteMixCom::OnRowSpin(int row) {
    const int v = m_spin[row].GetPos();
    m_edit[row].SetValue(v);
    m_slider[row].SetPos(v);
    SetLevel(row, v);
}

void CRouteMixCom::OnRowSliderClick(int row) {
    PostRow(row + 1);
}

void CRouteMixCom::ClickLogic() {
    if (m_nOutput != g_nCurOutChannel)
        PostRow(0);
}

void CRouteMixCom::OnLButtonDown(UINT, CPoint) {
    ClickLogic();
}

BOOL CRouteMixCom::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_LBUTTONDOWN) {
        ClickLogic();
        SetFocus();
    } else if (msg->message == WM_MOUSEMOVE) {
        m_toolTip.RelayEvent(msg);
    } else if (msg->message == WM_KEYDOWN &&
               (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE || msg->wParam == VK_TAB)) {
        SetFocus();
        return FALSE;
    }
    return CDialog::PreTranslateMessage(msg);
}

void CRouteMixCom::OnPaint() {
    CPaintDC dc(this);
    PaintBitmap(dc, m_bmBackground);
}

void CRouteMixCom::OnDestroy() {
    ReleaseSliderBitmaps();
    CDialog::OnDestroy();
}
