#include "pages/output/OutRoute_Dlg.h"

#include "controls/SharedGdiObjects.h"
#include "model/KTV_OutData.h"
#include "model/SpkType.h"
#include "pages/output/LinkGroupSurface.h"
#include "pages/output/LinkGroups.h"
#include "platform/gdi/Dc.h"
#include "platform/res/Resources.h"
#include "platform/sys/UserMessages.h"
#include "platform/win/PaintDC.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr UINT kTypeItemFirst = 4100;
constexpr UINT kTypeItemLast = 4124;
constexpr COLORREF kFrameColour = RGB(255, 25, 25);

} // namespace

BEGIN_MESSAGE_MAP(COutRoute_Dlg, CDialog)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_COMMAND(1001, &COutRoute_Dlg::OnEnableClicked)
ON_COMMAND(2636, &COutRoute_Dlg::OnSelectClicked)
ON_COMMAND(2825, &COutRoute_Dlg::OnPhaseClicked)
ON_COMMAND(2847, &COutRoute_Dlg::OnTypeButtonClicked)
ON_COMMAND_RANGE(kTypeItemFirst, kTypeItemLast, &COutRoute_Dlg::OnSpeakerTypeItem)
ON_MESSAGE(UM_SLIDER_POSITION, &COutRoute_Dlg::OnGainSliderPosition)
ON_MESSAGE(UM_SLIDER_TRACKING, &COutRoute_Dlg::OnGainSliderTracking)
ON_COMMAND(2827, &COutRoute_Dlg::OnGainEditChanged)
ON_COMMAND(2829, &COutRoute_Dlg::OnGainEditChanged)
ON_COMMAND(2828, &COutRoute_Dlg::OnDelaySpinChanged)
ON_COMMAND(2817, &COutRoute_Dlg::OnDelayEditChanged)
ON_MESSAGE(UM_BUTTON_CLICK, &COutRoute_Dlg::OnGroupButtonClick)
END_MESSAGE_MAP()

COutRoute_Dlg::COutRoute_Dlg(CWnd* parent) : CDialog(IDD, parent), m_pParent(parent) {}

void COutRoute_Dlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, 2847, m_btnType);
    DDX_Control(dx, 2830, m_btnGroup);
    DDX_Control(dx, 2636, m_btnSelect);
    DDX_Control(dx, 1001, m_btnEnable);
    DDX_Control(dx, 2827, m_editGain);
    DDX_Control(dx, 2829, m_spinGain);
    DDX_Control(dx, 2826, m_sliderGain);
    DDX_Control(dx, 2817, m_editDelay);
    DDX_Control(dx, 2828, m_spinDelay);
    DDX_Control(dx, 2825, m_btnPhase);
}

BOOL COutRoute_Dlg::OnInitDialog() {
    CDialog::OnInitDialog();

    m_spinGain.SetBuddy(&m_editGain);
    m_spinGain.SetRange(0, kMaxGain);
    m_editGain.SetStep(0.1);
    m_editGain.SetOffset(60.0);
    m_editGain.SetFont(&g_fontSmallEdit);
    m_editGain.SetType(24, "");
    m_editGain.SetLimitText(6);
    m_editGain.SetSlider(&m_sliderGain);

    m_sliderGain.SetRange(0, kMaxGain, FALSE);
    m_sliderGain.SetMargin(32, 5, 1, 6);

    m_spinDelay.SetBuddy(&m_editDelay);
    m_spinDelay.SetRange(0, kMaxDelay);
    m_editDelay.SetLimitText(5);
    m_editDelay.SetType(0, "");
    m_editDelay.SetFont(&g_fontSmallEdit);
    m_spinDelay.SetPos(0);

    SetEnableImages(1);
    m_btnGroup.SetBitmaps(1018, 1018, 1018, 1018, 1018, 1018);

    m_btnType.SetBitmaps(594, 595, 596, 596, 596, 596);
    m_btnType.SetTextColors(RGB(220, 220, 220), RGB(255, 102, 0), RGB(255, 102, 0), RGB(220, 220, 220),
                            RGB(220, 220, 220), RGB(220, 220, 220));
    m_btnType.SetDisabledBitmaps(641, 641);
    m_btnType.SetDisabledTextColor(RGB(210, 210, 210));
    m_btnType.SetDisabledFont(&g_fontNumEdit);
    m_btnType.SetFont(&g_fontNumEdit);

    m_nLastClickKind = 0;
    return TRUE;
}

// ---- Set-up and setters ---------------------------------------------------------

void COutRoute_Dlg::SetBackgroundBitmap(UINT id, int, int, int) {
    m_bmBackground.DeleteObject();
    m_bmBackground.LoadBitmap(id);
}

void COutRoute_Dlg::SetSelectButtonBitmaps(UINT normal, UINT hover, UINT down) {
    m_btnSelect.SetBitmaps(normal, hover, down, down, down, down);
}

BOOL COutRoute_Dlg::SetGainSliderChannel(UINT channel, UINT active, BOOL transparent, COLORREF mask, int x,
                                         int y) {
    return m_sliderGain.SetBitmapChannel(channel, active, transparent, mask, x, y);
}

BOOL COutRoute_Dlg::SetGainSliderThumb(UINT thumb, UINT active, BOOL transparent, COLORREF mask, int x,
                                       int y) {
    return m_sliderGain.SetBitmapThumb(thumb, active, transparent, mask, x, y);
}

void COutRoute_Dlg::SetSelectLatched(BOOL latched) {
    m_btnSelect.SetSelected(latched);
}

void COutRoute_Dlg::UpdateTypeCaption() {
    int type = g_SpkTypeState[kSpkTypeOutputBase + std::clamp(m_nOutput, 0, kOutputCount - 1)];
    if (type > 24)
        type = 0;
    const auto caption = platform::res::Provider().String((g_bChinese ? 6300 : 6200) + UINT(type));
    m_btnType.SetWindowText(caption.value_or(""));
    m_btnType.Invalidate(FALSE);
}

void COutRoute_Dlg::SetPhaseButtonBitmaps(int chinese) {
    if (chinese)
        m_btnPhase.SetBitmaps(1180, 1181, 1181);
    else
        m_btnPhase.SetBitmaps(1186, 1188, 1188);
}

int COutRoute_Dlg::ClampGain(int gain) {
    return std::clamp(gain, 0, kMaxGain);
}

int COutRoute_Dlg::ClampDelay(int delay) {
    return std::clamp(delay, 0, kMaxDelay);
}

// Through the spin, which keeps its own copy of the position for the arrow
// keys to step from.
void COutRoute_Dlg::SetGain(int gain) {
    m_nShownGain = m_spinGain.ShowValue(ClampGain(gain));
    m_sliderGain.SetPos(m_nShownGain);
}

void COutRoute_Dlg::SetDelay(int delay) {
    m_spinDelay.ShowValue(ClampDelay(delay));
}

void COutRoute_Dlg::SetEnable(int on) {
    m_nEnable = on;
    SetEnableImages(on);
}

void COutRoute_Dlg::SetDelayUnit(int unit) {
    if (unit < 1 || unit > 3)
        return;
    m_editDelay.SetType(unit - 1, "");
}

void COutRoute_Dlg::SetGroupImage(int number) {
    UINT id = g_bChinese ? 1018 : 1019;
    if (number >= 1 && number <= kOutputCount)
        id = UINT(g_bChinese ? m_GroupImagesZh[number - 1] : m_GroupImagesEn[number - 1]);
    m_btnGroup.SetSelectedBitmap(id);
}

void COutRoute_Dlg::SetEnableImages(int on) {
    if (on)
        m_btnEnable.SetBitmaps(526, 527, 528);
    else
        m_btnEnable.SetBitmaps(528, 530, 526);
}

// ---- Painting and keys ------------------------------------------------------------

void COutRoute_Dlg::OnPaint() {
    CPaintDC dc(this);
    DrawStrip(&dc);
}

void COutRoute_Dlg::DrawStrip(CDC* dc) {
    BITMAP info{};
    if (!m_bmBackground.GetSafeHandle() || !m_bmBackground.GetBitmap(&info))
        return;
    CDC memDC;
    memDC.CreateCompatibleDC(dc);
    CBitmap* old = memDC.SelectObject(&m_bmBackground);
    dc->BitBlt(0, 0, info.bmWidth, info.bmHeight, &memDC, 0, 0, SRCCOPY);
    memDC.SelectObject(old);
    if (m_nOutput == g_nCurOutChannel) {
        CPen pen(PS_SOLID, 1, kFrameColour);
        CPen* oldPen = dc->SelectObject(&pen);
        CBrush* oldBrush = static_cast<CBrush*>(dc->SelectStockObject(NULL_BRUSH));
        dc->Rectangle(0, 0, info.bmWidth + 2, info.bmHeight + 2);
        dc->SelectObject(oldBrush);
        dc->SelectObject(oldPen);
    }
}

BOOL COutRoute_Dlg::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_LBUTTONDOWN) {
        // An edit that had the focus commits its text first.
        SetFocus();
        return CDialog::PreTranslateMessage(msg);
    }
    if (msg->message == WM_KEYDOWN &&
        (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE || msg->wParam == VK_TAB)) {
        SetFocus();
        return FALSE;
    }
    return CDialog::PreTranslateMessage(msg);
}

// ---- What the user does ---------------------------------------------------------------

void COutRoute_Dlg::Post(UINT message, LPARAM lParam) {
    if (m_pParent && m_pParent->GetSafeHwnd())
        m_pParent->PostMessage(message, WPARAM(m_nOutput), lParam);
}

void COutRoute_Dlg::OnEnableClicked() {
    // A file or the processor may hold any non-zero byte for "on".
    m_nEnable = m_nEnable != 0 ? 0 : 1;
    SetEnableImages(m_nEnable);
    Post(UM_STRIP_ENABLE_TOGGLED, m_nEnable);
}

void COutRoute_Dlg::OnSelectClicked() {
    Post(UM_SELECT_OUTPUT, 0);
}

void COutRoute_Dlg::OnPhaseClicked() {
    CString caption;
    m_btnType.GetWindowText(caption);
    m_dlgPhase.m_pOwner = this;
    m_dlgPhase.m_nOutput = m_nOutput;
    m_dlgPhase.m_pOutData = m_pOutData;
    m_dlgPhase.m_strName = caption;
    m_dlgPhase.m_pParentWnd = GetTopLevelParent();
    m_dlgPhase.DoModal();
}

LRESULT COutRoute_Dlg::OnGainSliderPosition(WPARAM id, LPARAM) {
    if (id == 2826)
        Post(UM_STRIP_GAIN_CHANGED, m_sliderGain.GetPos());
    if (m_nOutput >= 0 && m_nOutput < kOutputCount)
        g_bOutChanged[m_nOutput] = 1;
    return 1;
}

LRESULT COutRoute_Dlg::OnGainSliderTracking(WPARAM id, LPARAM position) {
    return OnGainSliderPosition(id, position);
}

void COutRoute_Dlg::OnGainEditChanged() {
    Post(UM_STRIP_GAIN_CHANGED, m_spinGain.GetPos());
    if (m_nOutput >= 0 && m_nOutput < kOutputCount)
        g_bOutChanged[m_nOutput] = 1;
}

void COutRoute_Dlg::OnDelaySpinChanged() {
    Post(UM_STRIP_DELAY_CHANGED, m_spinDelay.GetPos());
}

void COutRoute_Dlg::OnDelayEditChanged() {
    Post(UM_STRIP_DELAY_CHANGED, m_editDelay.GetValue());
}

LRESULT COutRoute_Dlg::OnGroupButtonClick(WPARAM kind, LPARAM) {
    if (kind == CLinkGroups::kSingleClick)
        m_nLastClickKind = 1;
    else if (kind == CLinkGroups::kDoubleClick)
        m_nLastClickKind = 2;
    if (auto* surface = dynamic_cast<ILinkGroupSurface*>(m_pParent))
        CLinkGroups::OnGroupClick(*surface, m_nOutput, m_pOutData, kind);
    return 0;
}

// ---- Speaker-type menu ------------------------------------------------------------------

CMenu* COutRoute_Dlg::GetTypeSubMenu(int type) {
    CMenu* first = g_menuSpkType.GetSubMenu(0);
    if (!first || type < 0 || type > 24)
        return nullptr;
    if (type == 0)
        return first;
    if (type <= 12) {
        CMenu* front = first->GetSubMenu(1);
        return front ? front->GetSubMenu(type <= 6 ? 0 : 1) : nullptr;
    }
    if (type <= 18) {
        CMenu* rear = first->GetSubMenu(2);
        return rear ? rear->GetSubMenu(type <= 15 ? 0 : 1) : nullptr;
    }
    return first->GetSubMenu(type <= 21 ? 3 : 4);
}

int COutRoute_Dlg::GetTypeMenuPos(int type) {
    if (type <= 0)
        return 0;
    if (type <= 12)
        return (type - 1) % 6;
    if (type <= 18)
        return (type - 13) % 3;
    return (type - 19) % 3;
}

void COutRoute_Dlg::UpdateTypeMenuStates(int ownType) {
    if (CMenu* first = g_menuSpkType.GetSubMenu(0))
        first->EnableMenuItem(0, MF_BYPOSITION | MF_ENABLED);
    for (int k = 1; k <= 24; ++k) {
        CMenu* menu = GetTypeSubMenu(k);
        if (!menu)
            continue;
        const UINT pos = UINT(GetTypeMenuPos(k));
        UINT check = 0, enable = 0;
        if (k == ownType) {
            check = MF_CHECKED;
            enable = MF_ENABLED;
        } else if (m_TypeStateSnapshot[k] == 1) {
            check = MF_UNCHECKED;
            enable = MF_GRAYED;
        } else if (m_TypeStateSnapshot[k] == 2) {
            check = MF_CHECKED;
            enable = MF_GRAYED;
        } else if (m_TypeStateSnapshot[k] == 3) {
            check = MF_UNCHECKED;
            enable = MF_ENABLED;
        } else {
            continue;
        }
        menu->CheckMenuItem(pos, MF_BYPOSITION | check);
        menu->EnableMenuItem(pos, MF_BYPOSITION | enable);
    }
}

void COutRoute_Dlg::OnTypeButtonClicked() {
    if (m_nOutput < 0 || m_nOutput >= kOutputCount)
        return;
    CRect rect;
    m_btnType.GetWindowRect(&rect);
    BYTE& own = g_SpkTypeState[kSpkTypeOutputBase + m_nOutput];
    const int type = own;
    // The availability states as they are while this output has no type.
    SpkType_Release(type, m_nOutput);
    own = 0;
    SpkType_Select(0, 0);
    std::memcpy(m_TypeStateSnapshot, g_SpkTypeState, sizeof m_TypeStateSnapshot);
    SpkType_Release(0, m_nOutput);
    own = BYTE(type);
    SpkType_Select(type, 0);
    m_TypeStateSnapshot[kSpkTypeOutputBase + m_nOutput] = BYTE(type);

    UpdateTypeMenuStates(type);
    if (CMenu* first = g_menuSpkType.GetSubMenu(0))
        first->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, rect.left, rect.bottom + 2, this);
}

void COutRoute_Dlg::OnSpeakerTypeItem(UINT id) {
    const int type = int(id - kTypeItemFirst);
    if (m_nOutput < 0 || m_nOutput >= kOutputCount || type < 0 || type > 24)
        return;
    if (g_SpkTypeState[kSpkTypeOutputBase + m_nOutput] != type)
        Post(UM_SPEAKER_TYPE_SELECTED, type);
}
