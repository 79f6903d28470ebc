#include "pages/output/Changnal_Line.h"

#include "controls/PaintBitmap.h"
#include "model/Globals.h"
#include "pages/output/OutputDlg.h"
#include "platform/gdi/Dc.h"
#include "platform/win/PaintDC.h"

namespace {

struct Toggle {
    UINT id;
    UINT off;
    UINT on;
};

// Per output 1..12: the button and its off and on pictures.
constexpr Toggle kToggles[kOutputCount] = {
    {2839, 969, 971},   {2840, 972, 974},   {2819, 975, 977},   {2820, 978, 980},
    {2821, 981, 983},   {2822, 984, 987},   {2823, 988, 986},   {2824, 990, 992},
    {2825, 1193, 1195}, {2826, 1196, 1198}, {2827, 1199, 1201}, {2828, 1202, 1204},
};

int OutputOfButton(UINT id) {
    for (int k = 0; k < kOutputCount; ++k)
        if (kToggles[k].id == id)
            return k;
    return -1;
}

} // namespace

BEGIN_MESSAGE_MAP(CChangnal_Line, CDialog)
ON_WM_PAINT()
ON_CONTROL_RANGE(BN_CLICKED, 2819, 2840, &CChangnal_Line::OnChannelButton)
END_MESSAGE_MAP()

UINT CChangnal_Line::ButtonId(int output) {
    return kToggles[output].id;
}

CBitButton& CChangnal_Line::Button(int output) {
    CBitButton* buttons[kOutputCount] = {&m_btnCh1, &m_btnCh2, &m_btnCh3, &m_btnCh4,  &m_btnCh5,  &m_btnCh6,
                                         &m_btnCh7, &m_btnCh8, &m_btnCh9, &m_btnCh10, &m_btnCh11, &m_btnCh12};
    return *buttons[output];
}

void CChangnal_Line::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    for (int k = kOutputCount - 1; k >= 0; --k)
        DDX_Control(dx, int(kToggles[k].id), Button(k));
}

BOOL CChangnal_Line::OnInitDialog() {
    m_bmBackground.LoadBitmap(968);
    CDialog::OnInitDialog();
    // Hovering shows no change; pressing shows the on picture.
    for (int k = 0; k < kOutputCount; ++k) {
        const Toggle& t = kToggles[k];
        Button(k).SetBitmaps(t.off, t.off, t.on, t.on, t.on, t.on);
    }
    return TRUE;
}

void CChangnal_Line::OnPaint() {
    CPaintDC dc(this);
    PaintBitmap(dc, m_bmBackground);
}

void CChangnal_Line::OnChannelButton(UINT id) {
    const int k = OutputOfButton(id);
    if (k < 0)
        return;
    CBitButton& button = Button(k);
    g_bOutCurveShown[k] = button.GetSelected() ? 0 : 1;
    button.SetSelected(g_bOutCurveShown[k]);
    // The graph never overlays the output it shows, so only another output's
    // toggle changes the picture.
    if (k != g_nCurOutChannel && m_pOwnerPage)
        m_pOwnerPage->ShowChannel();
}
