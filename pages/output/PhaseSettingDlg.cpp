#include "pages/output/PhaseSettingDlg.h"

#include "controls/PaintBitmap.h"
#include "controls/SharedGdiObjects.h"
#include "model/Globals.h"
#include "model/KTV_OutData.h"
#include "platform/gdi/Dc.h"
#include "platform/sys/UserMessages.h"
#include "platform/win/PaintDC.h"

#include <cstdint>

namespace {

constexpr UINT kThumbNormal = 1177;
constexpr UINT kThumbInverted = 1176;

// Button pictures (normal, hover, pressed) by polarity and language.
constexpr UINT kPolarityPictures[2][2][3] = {
    {{4370, 4371, 4373}, {4373, 4374, 4370}}, // English
    {{4380, 4381, 4383}, {4383, 4384, 4380}}, // Chinese
};

} // namespace

BEGIN_MESSAGE_MAP(CPhaseSettingDlg, CDialog)
ON_WM_PAINT()
ON_WM_DESTROY()
ON_COMMAND(2819, &CPhaseSettingDlg::OnPolarityClicked)
ON_COMMAND(2806, &CPhaseSettingDlg::OnShiftEdit)
ON_COMMAND(2848, &CPhaseSettingDlg::OnShiftSpin)
ON_COMMAND(2807, &CPhaseSettingDlg::OnFreqEdit)
ON_COMMAND(2849, &CPhaseSettingDlg::OnFreqSpin)
ON_MESSAGE(UM_SLIDER_POSITION, &CPhaseSettingDlg::OnSliderPosition)
ON_MESSAGE(UM_SLIDER_TRACKING, &CPhaseSettingDlg::OnSliderTracking)
END_MESSAGE_MAP()

CPhaseSettingDlg::CPhaseSettingDlg() : CDialog(IDD, nullptr) {
    m_bmBackZh.LoadBitmap(1173);
    m_bmBackEn.LoadBitmap(1174);
}

void CPhaseSettingDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, 2854, m_sliderFreq);
    DDX_Control(dx, 2853, m_sliderPolarity);
    DDX_Control(dx, 2850, m_sliderShift);
    DDX_Control(dx, 2849, m_spinFreq);
    DDX_Control(dx, 2848, m_spinShift);
    DDX_Control(dx, 2807, m_editFreq);
    DDX_Control(dx, 2806, m_editShift);
    DDX_Control(dx, 2819, m_btnPolarity);
}

int CPhaseSettingDlg::StoredShift() const {
    return m_pOutData ? int(std::int16_t(m_pOutData->GetLimiterAttack())) : kMinShift;
}

int CPhaseSettingDlg::StoredFreq() const {
    return m_pOutData ? int(std::int16_t(m_pOutData->GetLimiterRelease())) : kMinFreq;
}

BOOL CPhaseSettingDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    m_spinShift.SetBuddy(&m_editShift);
    m_spinShift.SetRange(kMinShift, kMaxShift);
    m_editShift.SetStep(1.0);
    m_editShift.SetOffset(20.0);
    m_editShift.SetType(34, "");
    m_editShift.SetLimitText(6);
    m_editShift.SetFont(&g_fontNumEdit);
    m_sliderShift.SetBitmapChannel(1205, 0, FALSE, 0, 0, 0);
    m_sliderShift.SetBitmapThumb(kThumbNormal, kThumbNormal, TRUE, CBitmapSlider::kMaskFromPixel, 0, 0);
    m_sliderShift.SetRange(0, kMaxShift - kMinShift, FALSE);
    m_sliderShift.SetValueKind(34);
    m_sliderShift.SetMargin(27, 61, 25, 0);
    m_sliderShift.SetBuddy(&m_editShift);
    m_sliderShift.SetVerticalDrag(0);

    m_spinFreq.SetBuddy(&m_editFreq);
    m_spinFreq.SetRange(kMinFreq, kMaxFreq);
    // The edit keeps its hertz type from the last opening, which the range
    // would take as frequency-table stepping; the arrow keys step 1 Hz.
    m_spinFreq.SetMode(0);
    m_editFreq.SetStep(20.0);
    m_editFreq.SetOffset(20.0);
    m_editFreq.SetType(8, "");
    m_editFreq.SetLimitText(6);
    m_editFreq.SetFont(&g_fontNumEdit);
    m_sliderFreq.SetBitmapChannel(1175, 0, FALSE, 0, 0, 0);
    m_sliderFreq.SetBitmapThumb(1206, 1206, FALSE, 0, 0, 0);
    m_sliderFreq.SetRange(0, kMaxFreq - kMinFreq, FALSE);
    m_sliderFreq.SetValueKind(34);
    m_sliderFreq.SetMargin(27, 61, 28, 0);
    m_sliderFreq.SetBuddy(&m_editFreq);
    m_sliderFreq.SetVerticalDrag(0);

    m_sliderPolarity.SetBitmapChannel(1175, 0, FALSE, 0, 0, 0);
    m_sliderPolarity.SetVerticalDrag(0);
    m_sliderPolarity.SetMargin(27, 61, 15, 0);

    SetWindowText(g_bChinese ? "相位设置" : "Sets of Phase");
    SetPolarityPictures(m_pOutData ? m_pOutData->GetPolarity() : 0);

    // A word from a file or the processor may lie outside its range: it is
    // shown at the nearest end and stays stored as it is.
    m_sliderShift.SetPos(m_spinShift.ShowValue(StoredShift()));
    m_sliderFreq.SetPos(m_spinFreq.ShowValue(StoredFreq()));
    return TRUE;
}

void CPhaseSettingDlg::SetPolarityPictures(int polarity) {
    const int p = polarity ? 1 : 0;
    const UINT* ids = kPolarityPictures[g_bChinese ? 1 : 0][p];
    m_btnPolarity.SetBitmaps(ids[0], ids[1], ids[2], ids[0], ids[1], ids[2]);
    // Released first, so the active picture always follows the polarity too.
    const UINT thumb = p ? kThumbInverted : kThumbNormal;
    m_sliderPolarity.SetBitmapThumb(0, 0, FALSE, 0, 0, 0);
    m_sliderPolarity.SetBitmapThumb(thumb, thumb, TRUE, CBitmapSlider::kMaskFromPixel, 0, 0);
}

void CPhaseSettingDlg::OnPolarityClicked() {
    if (!m_pOutData)
        return;
    const int next = m_pOutData->GetPolarity() == 0 ? 1 : 0;
    SetPolarityPictures(next);
    m_pOutData->SetPolarity(BYTE(next));
}

void CPhaseSettingDlg::ApplyShift(int value) {
    if (value == StoredShift())
        return;
    m_editShift.SetValue(value);
    m_spinShift.SetPos(value);
    m_sliderShift.SetPos(value);
    if (m_pOutData)
        m_pOutData->SetLimiterAttack(WORD(value));
}

void CPhaseSettingDlg::ApplyFreq(int value) {
    if (value == StoredFreq())
        return;
    m_editFreq.SetValue(value);
    m_spinFreq.SetPos(value);
    m_sliderFreq.SetPos(value);
    if (m_pOutData)
        m_pOutData->SetLimiterRelease(WORD(value));
}

void CPhaseSettingDlg::OnShiftEdit() {
    ApplyShift(m_editShift.GetValue());
}

void CPhaseSettingDlg::OnShiftSpin() {
    ApplyShift(m_spinShift.GetPos());
}

void CPhaseSettingDlg::OnFreqEdit() {
    ApplyFreq(m_editFreq.GetValue());
}

void CPhaseSettingDlg::OnFreqSpin() {
    ApplyFreq(m_spinFreq.GetPos());
}

LRESULT CPhaseSettingDlg::OnSliderPosition(WPARAM id, LPARAM) {
    if (id == 2850)
        ApplyShift(m_sliderShift.GetPos());
    else if (id == 2854)
        ApplyFreq(m_sliderFreq.GetPos());
    return 1;
}

LRESULT CPhaseSettingDlg::OnSliderTracking(WPARAM id, LPARAM position) {
    return OnSliderPosition(id, position);
}

CString CPhaseSettingDlg::HeaderText() const {
    // The name is a button caption, where "&&" shows as one ampersand.
    CString name;
    for (std::size_t i = 0; i < m_strName.size(); ++i) {
        name += m_strName[i];
        if (m_strName[i] == '&' && i + 1 < m_strName.size() && m_strName[i + 1] == '&')
            ++i;
    }
    return "CH" + std::to_string(m_nOutput + 1) + "  " + name;
}

void CPhaseSettingDlg::OnPaint() {
    CPaintDC dc(this);
    CBitmap& back = g_bChinese ? m_bmBackZh : m_bmBackEn;
    PaintBitmap(dc, back);
    CFont* oldFont = dc.SelectObject(&g_fontDialogBold);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(255, 255, 255));
    dc.TextOut(280, 40, HeaderText());
    dc.SelectObject(oldFont);
}

void CPhaseSettingDlg::OnDestroy() {
    // The next opening loads the thumbs again.
    m_sliderFreq.SetBitmapThumb(0, 0, FALSE, 0, 0, 0);
    m_sliderPolarity.SetBitmapThumb(0, 0, FALSE, 0, 0, 0);
    m_sliderShift.SetBitmapThumb(0, 0, FALSE, 0, 0, 0);
    CDialog::OnDestroy();
}

BOOL CPhaseSettingDlg::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
        SetFocus();
        return FALSE;
    }
    return CDialog::PreTranslateMessage(msg);
}
