#include "pages/output/OutputDlg.h"

#include "controls/PaintBitmap.h"
#include "controls/SharedGdiObjects.h"
#include "model/Globals.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "pages/output/OutputPositions.h"
#include "platform/gdi/Dc.h"
#include "platform/sys/UserMessages.h"
#include "platform/win/Edit.h"
#include "platform/win/PaintDC.h"

BEGIN_MESSAGE_MAP(COutputDlg, CDialog)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_CONTROL_RANGE(0, 5200, 5230, &COutputDlg::OnBandFreqCommand)
ON_CONTROL_RANGE(0, 5240, 5270, &COutputDlg::OnBandFreqCommand)
ON_CONTROL_RANGE(0, 4500, 4530, &COutputDlg::OnBandQCommand)
ON_CONTROL_RANGE(0, 4540, 4570, &COutputDlg::OnBandQCommand)
ON_CONTROL_RANGE(0, 5000, 5030, &COutputDlg::OnBandGainCommand)
ON_CONTROL_RANGE(0, 5040, 5070, &COutputDlg::OnBandGainCommand)
ON_CONTROL_RANGE(0, 5320, 5350, &COutputDlg::OnBandBypassCommand)
ON_COMMAND(1976, &COutputDlg::OnAllBypass)
ON_COMMAND(5686, &COutputDlg::OnEqModeSwitch)
ON_COMMAND(5687, &COutputDlg::OnResetAllEq)
ON_COMMAND(1004, &COutputDlg::OnHighPassFreq)
ON_COMMAND(1351, &COutputDlg::OnHighPassFreq)
ON_COMMAND(1005, &COutputDlg::OnLowPassFreq)
ON_COMMAND(1352, &COutputDlg::OnLowPassFreq)
ON_COMMAND(4002, &COutputDlg::OnOutputGainEdit)
ON_COMMAND(4003, &COutputDlg::OnOutputGainEdit)
ON_COMMAND(4010, &COutputDlg::OnDelayMsEdit)
ON_COMMAND(4013, &COutputDlg::OnDelayMsEdit)
ON_COMMAND(4011, &COutputDlg::OnDelayCmEdit)
ON_COMMAND(4014, &COutputDlg::OnDelayCmEdit)
ON_COMMAND(4012, &COutputDlg::OnDelayInchEdit)
ON_COMMAND(4015, &COutputDlg::OnDelayInchEdit)
ON_CONTROL_RANGE(BN_CLICKED, 4600, 4623, &COutputDlg::OnPositionButton)
ON_MESSAGE(UM_SLIDER_TRACKING, &COutputDlg::OnSliderTracking)
ON_MESSAGE(UM_SLIDER_POSITION, &COutputDlg::OnSliderPosition)
ON_MESSAGE(UM_EQ_POINT_DRAGGED, &COutputDlg::OnEqPointDragged)
ON_MESSAGE(UM_DROPLIST_SELECTED, &COutputDlg::OnDropListSelected)
ON_MESSAGE(UM_DELAY_UNIT_CHANGED, &COutputDlg::OnDelayUnitChanged)
ON_MESSAGE(UM_EDIT_MOVE_FOCUS, &COutputDlg::OnEditMoveFocus)
ON_MESSAGE(UM_EDIT_NEXT_ROW, &COutputDlg::OnEditNextRow)
ON_MESSAGE(UM_EQ_GRAPH_KILLFOCUS, &COutputDlg::OnIgnored)
ON_MESSAGE(UM_MOUSE_MOVE_NOTIFY, &COutputDlg::OnIgnored)
ON_MESSAGE(UM_SPIN_STEP, &COutputDlg::OnIgnored)
END_MESSAGE_MAP()

namespace {

constexpr int kDelayUnitPanelX = 7, kDelayUnitPanelY = 310, kDelayUnitPanelW = 120, kDelayUnitPanelH = 140;
constexpr int kStripX = 1050, kStripY = 21, kStripW = 41, kStripH = 210;

} // namespace

COutputDlg::~COutputDlg() {
    // The bands outlive the page; they must not move its sliders afterwards.
    if (m_pData)
        for (int k = 0; k < kOutputCount; ++k)
            for (int i = 0; i < kBands; ++i)
                m_pData->GetOutput(k)->GetBand(i)->SetLinkedSlider(nullptr);
}

BOOL COutputDlg::ShowPage(int show) {
    return ShowWindow(show);
}

void COutputDlg::SetChannelArray(CKTV_Data* data) {
    m_pData = data;
    m_graph.SetOwner(this);
    m_graph.AttachKTVData(data, CFStatic::ModeOutput);
    // The mode first: with no output selected yet it draws nothing, so the
    // graph is drawn once, by the selection, not twice alike.
    m_graph.SetMode(CFStatic::ModeOutput);
    m_graph.SelectOutput(0);
    m_pGraph = &m_graph;
}

CKTV_OutData* COutputDlg::CurrentOutput() {
    m_pCurOut = m_pData ? m_pData->GetOutput(g_nCurOutChannel) : nullptr;
    return m_pCurOut;
}

std::vector<CKTV_OutData*> COutputDlg::GroupPartners() const {
    std::vector<CKTV_OutData*> partners;
    const std::intptr_t group = g_OutLinkTable[1 + g_nCurOutChannel];
    if (group == 0)
        return partners;
    for (int k = 0; k < kOutputCount; ++k)
        if (k != g_nCurOutChannel && g_OutLinkTable[1 + k] == group)
            if (auto* out = reinterpret_cast<CKTV_OutData*>(g_OutLinkTable[13 + k]))
                partners.push_back(out);
    return partners;
}

void COutputDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    const int statics[3] = {5083, 5085, 5084};
    for (int i = 0; i < 3; ++i)
        DDX_Control(dx, statics[i], m_stHidden[i]);
    const int hidden[6] = {5311, 4702, 4701, 4700, 4703, 4704};
    for (int i = 0; i < 6; ++i)
        DDX_Control(dx, hidden[i], m_btnHidden[i]);
    for (int i = 0; i < kPositions; ++i)
        DDX_Control(dx, int(kPositionBindOrder[i]), m_btnPosition[i]);
    DDX_Control(dx, 5689, m_btnInputMode);
    DDX_Control(dx, 5688, m_btnModePicture);
    DDX_Control(dx, 4001, m_btnPolarity);
    for (int i = 0; i < 3; ++i) {
        DDX_Control(dx, 4013 + i, m_spinDelay[i]);
        DDX_Control(dx, 4010 + i, m_editDelay[i]);
    }
    DDX_Control(dx, 4003, m_spinGain);
    DDX_Control(dx, 4002, m_editGain);
    DDX_Control(dx, 4004, m_sliderGain);
    DDX_Control(dx, 4000, m_graph);
    DDX_Control(dx, 5687, m_btnResetEq);
    DDX_Control(dx, 5686, m_btnEqMode);
    for (int i = 0; i < kBands; ++i) {
        DDX_Control(dx, 5240 + i, m_spinFreq[i]);
        DDX_Control(dx, 5200 + i, m_editFreq[i]);
    }
    for (int i = 0; i < kBands; ++i)
        DDX_Control(dx, 5320 + i, m_btnBypass[i]);
    DDX_Control(dx, 1976, m_btnAllBypass);
    for (int i = 0; i < kBands; ++i)
        DDX_Control(dx, 5100 + i, m_sliderBand[i]);
    for (int i = 0; i < kBands; ++i)
        DDX_Control(dx, 5280 + i, m_label[i]);
    DDX_Control(dx, 1011, m_cbLowFamily);
    DDX_Control(dx, 1013, m_cbLowSlope);
    DDX_Control(dx, 1010, m_cbHighFamily);
    DDX_Control(dx, 1012, m_cbHighSlope);
    for (int i = 0; i < kBands; ++i)
        DDX_Control(dx, 5040 + i, m_spinBandGain[i]);
    for (int i = 0; i < kBands; ++i)
        DDX_Control(dx, 4540 + i, m_spinQ[i]);
    for (int i = 0; i < kBands; ++i)
        DDX_Control(dx, 5000 + i, m_editBandGain[i]);
    for (int i = 0; i < kBands; ++i)
        DDX_Control(dx, 4500 + i, m_editQ[i]);
    DDX_Control(dx, 1351, m_spinHighFreq);
    DDX_Control(dx, 1004, m_editHighFreq);
    DDX_Control(dx, 1352, m_spinLowFreq);
    DDX_Control(dx, 1005, m_editLowFreq);
}

BOOL COutputDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_bmBackgroundZh.LoadBitmap(287);
    m_bmBackgroundEn.LoadBitmap(286);
    m_pHighlightLabel = nullptr;
    m_pHighlightEdit = nullptr;
    InitControls();
    return TRUE;
}

void COutputDlg::InitControls() {
    // Hidden output gain.
    m_spinGain.SetBuddy(&m_editGain);
    m_spinGain.SetRange(0, 600);
    m_editGain.SetStep(0.1);
    m_editGain.SetOffset(60.0);
    m_editGain.SetType(23, "");
    m_editGain.SetLimitText(6);
    m_editGain.SetFont(&g_fontNumEdit);
    m_editGain.SetSlider(&m_sliderGain);
    m_sliderGain.SetBitmapChannel(281, 283, FALSE, 0, 0, 0);
    m_sliderGain.SetBitmapThumb(280, 282, TRUE, CBitmapSlider::kMaskFromPixel, 0, 0);
    m_sliderGain.SetRange(0, 600);
    m_sliderGain.SetMargin(11, 4, 1, 4);
    m_sliderGain.SetBuddy(&m_editGain);
    m_sliderGain.SetVerticalDrag(TRUE);

    // Hidden delays in the three units.
    const char* const units[3] = {"MS", "CM", "INCH"};
    for (int i = 0; i < 3; ++i) {
        m_spinDelay[i].SetBuddy(&m_editDelay[i]);
        m_spinDelay[i].SetRange(0, 384);
        m_spinDelay[i].SetMode(2);
        m_editDelay[i].SetType(i, units[i]);
        m_editDelay[i].SetValue(0);
        m_editDelay[i].SetFont(&g_fontNumEdit);
        m_editDelay[i].SetLimitText(10);
        m_editDelay[i].CreateSpin(4016 + i);
        m_editDelay[i].GetSpinButton().SetBitmaps(804, 805, 806, 807);
        m_editDelay[i].AttachSpin(4016 + i, &m_spinDelay[i]);
    }

    // Crossover drop-downs; the language fills them again.
    struct Drop {
        CComBoxBtn* button;
        UINT list;
        bool family;
    } const drops[4] = {{&m_cbHighFamily, 1014, true},
                        {&m_cbHighSlope, 1015, false},
                        {&m_cbLowFamily, 1016, true},
                        {&m_cbLowSlope, 1017, false}};
    for (const Drop& d : drops) {
        d.button->SetBitmap(701, 702);
        d.button->CreateDropList(this, d.list);
        d.button->ResetContent();
        if (d.family) {
            for (const char* name : {"宁克", "巴特沃斯", "贝塞尔"})
                d.button->AddString(name);
        } else {
            for (const char* slope : {"6dB/Oct", "12dB/Oct", "18dB/Oct", "24dB/Oct", "30dB/Oct", "36dB/Oct",
                                      "42dB/Oct", "48dB/Oct", "OFF"})
                d.button->AddString(slope);
        }
        d.button->SetUserFlag(1);
    }

    // Crossover corners.
    m_editLowFreq.SetType(8, "");
    m_editHighFreq.SetType(8, "");
    m_spinLowFreq.SetBuddy(&m_editLowFreq);
    m_spinLowFreq.SetRange(20, 20000);
    m_spinHighFreq.SetBuddy(&m_editHighFreq);
    m_spinHighFreq.SetRange(20, 20000);
    for (CNumEdit* e : {&m_editLowFreq, &m_editHighFreq}) {
        e->SetFont(&g_fontNumEdit);
        e->SetLimitText(7);
    }
    for (CComBoxBtn* b : {&m_cbHighFamily, &m_cbHighSlope, &m_cbLowFamily, &m_cbLowSlope})
        b->SetFont(&g_fontNumEdit);

    for (int i = 0; i < kBands; ++i) {
        m_spinFreq[i].SetBuddy(&m_editFreq[i]);
        m_spinFreq[i].SetRange(20, 20000);
        m_editFreq[i].SetType(4, "");
        m_editFreq[i].SetFont(&g_fontSmallEdit);

        m_spinQ[i].SetBuddy(&m_editQ[i]);
        m_editQ[i].SetType(11, "");
        m_spinQ[i].SetRange(0, 295);
        m_editQ[i].SetFont(&g_fontSmallEdit);

        m_spinBandGain[i].SetBuddy(&m_editBandGain[i]);
        m_spinBandGain[i].SetRange(80, 320);
        m_editBandGain[i].SetStep(0.1);
        m_editBandGain[i].SetOffset(20.0);
        m_editBandGain[i].SetType(10, "");
        m_editBandGain[i].SetFont(&g_fontSmallEdit);

        CBitmapSlider& s = m_sliderBand[i];
        s.SetBitmapChannel(610, 610, FALSE, 0, 0, 0);
        s.SetBitmapThumb(611, 613, FALSE, 0, 0, 0);
        s.SetRange(0, 240);
        s.SetVerticalDrag(TRUE);
        s.SetMargin(5, 0, 1, 0);
        s.SetValueKind(10);
        s.SetBuddy(&m_editBandGain[i]);
        m_editBandGain[i].SetSlider(&s);

        m_label[i].SetFontStyle("Arial", 14, RGB(177, 177, 177), 1);
        m_btnBypass[i].SetBitmaps(8832, 8833, 8833, 8830, 8831, 8831);
        m_btnBypass[i].SetUserValue(1);
    }

    m_curveStrip.Create(CChangnal_Line::kTemplate, this);
    m_curveStrip.m_pOwnerPage = this;
    m_curveStrip.MoveWindow(kStripX, kStripY, kStripW, kStripH, TRUE);
    m_curveStrip.ShowWindow(SW_SHOW);

    for (int i = 0; i < kPositions; ++i) {
        const PositionImages& p = PositionImagesOf(kPositionBindOrder[i]);
        m_btnPosition[i].SetImages(p.normal, p.hover, p.pressed);
        m_btnPosition[i].SetCheckedImages(p.pressed, p.pressed, p.pressed);
    }
    if (CWnd* c = GetDlgItem(4600))
        c->GetClientRect(&m_rcPosition[2]);
    m_rcPosition[3] = m_rcPosition[2];
    if (CWnd* l = GetDlgItem(4601))
        l->GetClientRect(&m_rcPosition[0]);
    m_rcPosition[1] = m_rcPosition[0];

    m_delayPanel.Create(CDelayDlg::IDD, this);
    m_delayPanel.m_pPage = this;
    m_delayPanel.MoveWindow(kDelayUnitPanelX, kDelayUnitPanelY, kDelayUnitPanelW, kDelayUnitPanelH, TRUE);
    m_delayPanel.ShowWindow(SW_SHOW);
    m_delayPanel.SetUnitButton1(1);
}

void COutputDlg::OnPaint() {
    CPaintDC dc(this);
    CBitmap& picture = g_bChinese ? m_bmBackgroundZh : m_bmBackgroundEn;
    PaintBitmap(dc, picture);
}

BOOL COutputDlg::PreTranslateMessage(MSG* msg) {
    if (msg->message != WM_KEYDOWN)
        return CDialog::PreTranslateMessage(msg);
    const UINT key = UINT(msg->wParam);
    if (key != VK_RETURN && key != VK_TAB && key != VK_ESCAPE)
        return CDialog::PreTranslateMessage(msg);
    // Enter, Tab and Escape never reach the dialog handling: the page is
    // never ended and the focus moves only as the ring says.
    CWnd* focus = CWnd::GetFocus();
    CEdit* edit = focus ? dynamic_cast<CEdit*>(focus) : nullptr;
    if (key == VK_ESCAPE) {
        SetFocus();
        return FALSE;
    }
    if (!edit)
        return FALSE;
    const WPARAM id = WPARAM(edit->GetDlgCtrlID());
    if (key == VK_TAB || m_btnEqMode.GetCheck())
        PostMessage(UM_EDIT_MOVE_FOCUS, id, VK_RIGHT);
    else
        PostMessage(UM_EDIT_NEXT_ROW, id, 0);
    return FALSE;
}

void COutputDlg::OnBandFreqCommand(UINT id) {
    ApplyBandFreq(int(id >= 5240 ? id - 5240 : id - 5200));
}

void COutputDlg::OnBandQCommand(UINT id) {
    ApplyBandQ(int(id >= 4540 ? id - 4540 : id - 4500));
}

void COutputDlg::OnBandGainCommand(UINT id) {
    ApplyBandGain(int(id >= 5040 ? id - 5040 : id - 5000));
}

void COutputDlg::OnBandBypassCommand(UINT id) {
    ToggleBandBypass(int(id - 5320));
}
