// The main view's start-up, painting, dragging, closing, language and menus.

#include "app/TALQ50Form.h"

#include "app/INIT.h"
#include "app/MessageBox.h"
#include "controls/PaintBitmap.h"
#include "controls/SharedGdiObjects.h"
#include "link/Net_Socket.h"
#include "model/Globals.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/TALQ50Doc.h"
#include "pages/output/LinkGroups.h"
#include "platform/gdi/Dc.h"
#include "platform/res/Resources.h"
#include "platform/sys/Shell.h"
#include "platform/sys/ShellFolders.h"
#include "platform/sys/UserMessages.h"
#include "platform/win/PaintDC.h"
#include "platform/win/ShellOpen.h"
#include "platform/win/TopLevel.h"

#include <algorithm>
#include <iterator>

CTALQ50Form* g_pView = nullptr;

namespace {

constexpr UINT kTabId = 1368;
constexpr UINT kConnectId = 1413;
constexpr UINT kOutputMapId = 1415;
constexpr UINT kMinimizeId = 2772;
constexpr UINT kCloseId = 2773;
constexpr UINT kSourceId = 2820;
constexpr UINT kMixerId = 2823;
constexpr UINT kPresetMenuId = 8801;
constexpr UINT kSystemMenuId = 8802;
constexpr UINT kLanguageItem = 729;
constexpr UINT kHelpItem = 730;
constexpr UINT kFirmwareItem = 727;
constexpr UINT kVersionItem = 731;
constexpr UINT kRestoreItem = 32779;
constexpr UINT kSaveAllItem = 726;
// The pause between the factory restore's confirmation and the restore.
constexpr UINT_PTR kRestoreTimer = 10000;
constexpr UINT kRestoreDelayMs = 1000;

constexpr UINT kBackgroundZh = 285;
constexpr UINT kBackgroundEn = 284;

const char* const kSourcesZh[] = {"高电平", "AUX", "蓝牙", "光纤", "同轴"};
const char* const kSourcesEn[] = {"Hi.Level", "RCA In", "Bluetooth", "Optical", "Coaxial"};

CString ResString(UINT id) {
    return platform::res::Provider().String(id).value_or(CString());
}

// Menu items and the string entries of their two texts.
struct MenuText {
    UINT item;
    UINT zh;
    UINT en;
};
constexpr MenuText kMenuTexts[] = {
    {720, 6100, 6120}, {721, 6101, 6121}, {722, 6102, 6122}, {723, 6103, 6123},       {724, 6104, 6124},
    {725, 6105, 6125}, {726, 6106, 6126}, {727, 6110, 6130}, {kHelpItem, 6113, 6133}, {731, 6114, 6134},
};

} // namespace

BEGIN_MESSAGE_MAP(CTALQ50Form, CFormView)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_CTLCOLOR()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_DESTROY()
ON_NOTIFY(TCN_SELCHANGE, kTabId, &CTALQ50Form::OnTabSelChange)
ON_MESSAGE(WM_SETTINGCHANGE, &CTALQ50Form::OnSettingChange)
ON_BN_CLICKED(kMinimizeId, &CTALQ50Form::OnMinimizeButton)
ON_BN_CLICKED(kCloseId, &CTALQ50Form::OnCloseButton)
ON_BN_CLICKED(kMixerId, &CTALQ50Form::OnMixerButton)
ON_BN_CLICKED(kOutputMapId, &CTALQ50Form::OnOutputMapButton)
ON_BN_CLICKED(kPresetMenuId, &CTALQ50Form::OnPresetMenuButton)
ON_BN_CLICKED(kSystemMenuId, &CTALQ50Form::OnSystemMenuButton)
ON_COMMAND(kLanguageItem, &CTALQ50Form::OnLanguage)
ON_COMMAND(kHelpItem, &CTALQ50Form::OnHelp)
ON_COMMAND(kFirmwareItem, &CTALQ50Form::OnFirmwareUpdate)
ON_COMMAND(kVersionItem, &CTALQ50Form::OnVersion)
ON_COMMAND(kRestoreItem, &CTALQ50Form::OnRestoreFactory)
ON_COMMAND(kSaveAllItem, &CTALQ50Form::OnSaveAllPresets)
ON_COMMAND(720, &CTALQ50Form::OnLoadMachinePreset)
ON_COMMAND(721, &CTALQ50Form::OnSaveAsMachinePreset)
ON_COMMAND(722, &CTALQ50Form::OnDeleteMachinePreset)
ON_COMMAND(723, &CTALQ50Form::OnLoadPresetFile)
ON_COMMAND(724, &CTALQ50Form::OnLoadAllPresetsFile)
ON_COMMAND(725, &CTALQ50Form::OnSavePresetFile)
ON_WM_TIMER()
ON_MESSAGE(UM_SELECT_OUTPUT, &CTALQ50Form::OnSelectOutputMsg)
ON_MESSAGE(UM_SPEAKER_TYPE_SELECTED, &CTALQ50Form::OnSpeakerTypeMsg)
ON_MESSAGE(UM_STRIP_GAIN_CHANGED, &CTALQ50Form::OnStripGainMsg)
ON_MESSAGE(UM_STRIP_DELAY_CHANGED, &CTALQ50Form::OnStripDelayMsg)
ON_MESSAGE(UM_STRIP_ENABLE_TOGGLED, &CTALQ50Form::OnStripEnableMsg)
ON_MESSAGE(UM_MASTER_GAIN_CHANGED, &CTALQ50Form::OnMasterGainMsg)
ON_MESSAGE(UM_DROPLIST_SELECTED, &CTALQ50Form::OnDropListMsg)
ON_MESSAGE(UM_PRESET_NAME_CHANGED, &CTALQ50Form::OnPresetNameChanged)
ON_MESSAGE(UM_SHELL_OPEN_FAILED, &CTALQ50Form::OnShellOpenFailed)
END_MESSAGE_MAP()

CTALQ50Form::CTALQ50Form(CTALQ50Doc* doc)
    : CFormView(kTemplateId), m_pDoc(doc), m_modelLink(doc->m_KTVData),
      m_pNet(std::make_unique<CNet_Socket>()) {}

CTALQ50Form::~CTALQ50Form() {
    StopLink();
    // The stopped link no longer moves the popup's bar.
    CDisplayDlg::DestroyForView();
    if (g_pView == this)
        g_pView = nullptr;
    DestroyWindow();
}

void CTALQ50Form::DoDataExchange(CDataExchange* dx) {
    CFormView::DoDataExchange(dx);
    DDX_Control(dx, kMixerId, m_btnMixer);
    DDX_Control(dx, kOutputMapId, m_btnOutputMap);
    DDX_Control(dx, kMinimizeId, m_btnMinimize);
    DDX_Control(dx, kCloseId, m_btnClose);
    DDX_Control(dx, kPresetMenuId, m_btnPresetMenu);
    DDX_Control(dx, kSystemMenuId, m_btnSystemMenu);
    DDX_Control(dx, kConnectId, m_btnConnect);
    DDX_Control(dx, kTabId, m_tab);
    DDX_Control(dx, kSourceId, m_cbSource);
}

// ---- Start-up --------------------------------------------------------------------

void CTALQ50Form::OnInitialUpdate() {
    CFormView::OnInitialUpdate();
    g_pView = this;
    m_link.SetFormWindow(m_hWnd);
    m_link.SetSyncForm(this);
    m_link.SetSyncModel(&m_modelLink);
    m_link.SetDocument(m_pDoc);
    m_link.SetNetLink(m_pNet.get());

    m_bmpBackgroundZh.LoadBitmap(kBackgroundZh);
    m_bmpBackgroundEn.LoadBitmap(kBackgroundEn);
    m_pData = &m_pDoc->m_KTVData;
    m_strStartFolder = GetCurrentDirectory();
    std::fill(g_OutLinkTable + 1, g_OutLinkTable + 1 + kOutputCount, 0);
    m_strHelpZh = m_strStartFolder + "/CH_Help.chm";
    m_strHelpEn = m_strStartFolder + "/EN_Help.chm";
    m_link.m_strFirmwareFolder = platform::DocumentsFolder();
    m_link.m_bConnected = 0;

    ReadDspMcuSettings();
    if (g_strLanguage.empty()) {
        g_strLanguage = g_bChinese ? "Chinese" : "English";
        SaveDspMcuSettings();
    } else {
        g_bChinese = g_strLanguage == "Chinese";
    }

    SetUpForm();
    SwitchLanguage(0);
    SelectPage(g_nCurPage, 0);
    SelectInputSource(g_DeviceSettings.InputSettings[0], 0);
    UpdateTitle();
    SaveFolderSettings(0);
    ReadLineSetting();
    GetClientRect(&m_rcDrag);
    m_bDragging = FALSE;
    // Registers for HID notices, ensures the USB key and posts the automatic connect.
    m_link.InitLink();
}

void CTALQ50Form::SetUpForm() {
    m_cbSource.SetBitmap(763, 764);
    m_cbSource.CreateDropList(this, kSourceId);
    m_cbSource.ResetContent();
    for (const char* text : kSourcesZh)
        m_cbSource.AddString(text);
    m_cbSource.SetUserFlag(1);
    if (g_bChinese)
        m_btnOutputMap.SetBitmaps(1125, 1126, 1126);
    else
        m_btnOutputMap.SetBitmaps(1129, 1130, 1130);
    m_btnMinimize.SetBitmaps(4946, 4947, 4947);
    m_btnClose.SetBitmaps(4948, 4949, 4949);

    m_tab.SetBkgndColor(RGB(227, 228, 238));
    m_tab.EnableDraw(2);
    CEnTabCtrl::EnableDraw(0x1F, 0x1F);
    m_tab.RedrawWindow();
    // The page fills the frame: the tab headers take no room.
    m_tab.SetItemSize(CSize(-1, -20));

    m_dlgOutput.Create(COutputDlg::kTemplate, &m_tab);
    m_dlgOutput.SetChannelArray(m_pData);
    CRect page;
    m_tab.GetClientRect(&page);
    m_tab.AdjustRect(FALSE, &page);
    m_dlgOutput.ShowPage(SW_HIDE);
    m_dlgOutput.MoveWindow(&page);
    m_dlgOutput.view = &m_link;
    m_dlgOutput.SetForm(this);
    m_dlgOutput.ShowPage(SW_HIDE);
    m_dlgOutput.RefreshPage();

    // A mask colour with 0xFF in its top byte takes the picture's corner pixel.
    constexpr COLORREF kCornerPixel = 0xFF000000;
    m_dlgGain.Create(CGainDlg::IDD, this);
    m_dlgGain.m_pView = &m_link;
    m_dlgGain.m_pData = m_pData;
    m_dlgGain.SetFaderBitmaps(357, 357, TRUE, kCornerPixel, 0, 0);
    m_dlgGain.SetFaderThumb(358, 282, TRUE, kCornerPixel, 0, 0);
    m_dlgGain.SetFaderRange(0, CGainDlg::kMaxValue, TRUE);
    m_dlgGain.MoveWindow(25, kStripTop, 84, 220);
    m_dlgGain.ShowWindow(SW_SHOW);
    CDisplayDlg::CreateForView(this);

    for (int i = 0; i < kOutputCount; ++i) {
        COutRoute_Dlg& strip = m_strips[std::size_t(i)];
        strip.m_pParent = this;
        strip.Create(COutRoute_Dlg::IDD, this);
        strip.SetBackgroundBitmap(1151);
        strip.SetSelectButtonBitmaps(818 + 3 * i, 817 + 3 * i, 819 + 3 * i);
        strip.SetGainSliderChannel(281, 281, TRUE, kCornerPixel, 0, 0);
        strip.SetGainSliderThumb(358, 280, TRUE, kCornerPixel, 0, 0);
        strip.MoveWindow(StripX(i), kStripTop, 140, 221);
        // Outputs 9-12 appear once a processor's live data arrived.
        strip.ShowWindow(i < 8 ? SW_SHOW : SW_HIDE);
        strip.m_nOutput = i;
        strip.m_pOutData = m_pData->GetOutput(i);
        strip.SetSelectLatched(FALSE);
        strip.UpdateTypeCaption();
        ApplySpeakerTypeMix(i, g_SpkTypeState[kSpkTypeOutputBase + i]);
    }
    m_strips[std::size_t(g_nCurOutChannel)].SetSelectLatched(TRUE);
    m_dlgOutput.SetPositionSelected(g_SpkTypeState[kSpkTypeOutputBase + g_nCurOutChannel], 1);
    m_dlgGain.SetFaderPos(g_nMasterVolume);
    for (COutRoute_Dlg& strip : m_strips)
        ShowStripValues(strip);
    m_menuPreset.LoadMenu(112);
    m_menuSystem.LoadMenu(113);
    m_menuInterface.LoadMenu(114);
    // The system menu offers no way into the noise gate.
    if (CMenu* popup = m_menuSystem.GetSubMenu(0))
        popup->RemoveMenu(1, MF_BYPOSITION);
}

// The output page is the only page there is.
void CTALQ50Form::SelectPage(int, int) {
    m_dlgOutput.ShowPage(SW_SHOW);
    m_dlgOutput.ShowChannel();
}

void CTALQ50Form::ShowUnlockedForm() {
    for (COutRoute_Dlg& strip : m_strips)
        strip.ShowWindow(SW_SHOW);
}

void CTALQ50Form::ShowStripValues(COutRoute_Dlg& strip) {
    const CKTV_OutData* out = m_pData->GetOutput(strip.m_nOutput);
    strip.SetGain(out->GetGain());
    strip.SetDelay(out->GetDelay());
    strip.SetEnable(out->GetEnable());
}

void CTALQ50Form::InvalidateStrips() {
    InvalidateRect(&m_rcStrips, FALSE);
}

// ---- Painting and dragging -------------------------------------------------------

void CTALQ50Form::OnPaint() {
    CPaintDC dc(this);
    CBitmap& bitmap = g_bChinese ? m_bmpBackgroundZh : m_bmpBackgroundEn;
    PaintBitmap(dc, bitmap);
}

BOOL CTALQ50Form::OnEraseBkgnd(CDC*) {
    return TRUE;
}

HBRUSH CTALQ50Form::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) {
    if (ctlColor == CTLCOLOR_DLG)
        return g_brDlgBk;
    return CFormView::OnCtlColor(dc, wnd, ctlColor);
}

void CTALQ50Form::OnLButtonDown(UINT flags, CPoint point) {
    if (m_rcDrag.PtInRect(point)) {
        CWnd* top = GetTopLevelParent();
        if (!top || !platform::win::StartSystemMove(top->GetSafeHwnd())) {
            SetCapture();
            m_ptDragStart = point;
            m_bDragging = TRUE;
        }
    }
    CFormView::OnLButtonDown(flags, point);
}

void CTALQ50Form::OnMouseMove(UINT flags, CPoint point) {
    if (m_bDragging) {
        POINT cursor = point;
        ClientToScreen(&cursor);
        if (CWnd* top = GetTopLevelParent())
            top->SetWindowPos(nullptr, cursor.x - m_ptDragStart.x, cursor.y - m_ptDragStart.y, 0, 0,
                              SWP_NOSIZE | SWP_NOZORDER);
    }
    CFormView::OnMouseMove(flags, point);
}

void CTALQ50Form::OnLButtonUp(UINT flags, CPoint point) {
    if (m_bDragging) {
        m_bDragging = FALSE;
        ReleaseCapture();
    }
    CFormView::OnLButtonUp(flags, point);
}

BOOL CTALQ50Form::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
        // Moving the focus makes an edit commit what was typed; the key
        // closes and resets nothing.
        SetFocus();
        return FALSE;
    }
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_TAB) {
        m_dlgOutput.FocusBandEdit();
        return FALSE;
    }
    return CFormView::PreTranslateMessage(msg);
}

// ---- Shut-down -------------------------------------------------------------------

void CTALQ50Form::StopLink() {
    if (m_bLinkStopped)
        return;
    m_bLinkStopped = true;
    m_link.UnregisterHidNotification();
    m_link.StopCommThread(0);
    m_link.ClearUsbInUseMark();
    if (m_pNet)
        m_pNet->StopPing(0);
}

void CTALQ50Form::OnMinimizeButton() {
    if (CWnd* top = GetTopLevelParent())
        top->PostMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void CTALQ50Form::OnCloseButton() {
    StopLink();
    m_bClosing = 1;
    // Posted: the frames go once this handler has returned.
    if (CWnd* top = GetTopLevelParent())
        top->PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
}

void CTALQ50Form::OnDestroy() {
    if (!m_bClosing)
        StopLink();
    CFormView::OnDestroy();
}

// ---- Language and title ------------------------------------------------------------

void CTALQ50Form::SwitchLanguage(int toggle) {
    if (toggle)
        g_bChinese = !g_bChinese;
    ApplyLanguage();
    Invalidate(FALSE);
}

void CTALQ50Form::ApplyLanguage() {
    g_strLanguage = g_bChinese ? "Chinese" : "English";
    SetLanguageBitmaps();
    FillSourceList();
    SetMenuTexts();
    for (COutRoute_Dlg& strip : m_strips)
        ApplyStripLanguage(strip);
    g_menuSpkType.DestroyMenu();
    g_menuSpkType.LoadMenu(g_bChinese ? 106 : 107);
    SaveDspMcuSettings();
    if (m_dlgOutput.GetSafeHwnd())
        m_dlgOutput.SetLanguage();
    if (m_dlgGain.GetSafeHwnd())
        m_dlgGain.m_edit.RefreshLanguage();
}

void CTALQ50Form::ApplyStripLanguage(COutRoute_Dlg& strip) {
    if (!strip.GetSafeHwnd())
        return;
    const UINT link = g_bChinese ? 1018 : 1019;
    strip.SetBackgroundBitmap(g_bChinese ? 1151 : 1152);
    strip.m_btnGroup.SetBitmaps(link, link, link, link, link, link);
    strip.SetGroupImage(CLinkGroups::NumberOf(strip.m_nOutput));
    strip.SetPhaseButtonBitmaps(g_bChinese);
    // A strip at gain 0 shows the off text of the language.
    strip.m_editGain.RefreshLanguage();
    strip.UpdateTypeCaption();
}

void CTALQ50Form::SetLanguageBitmaps() {
    if (g_bChinese) {
        m_btnMixer.SetBitmaps(1011, 1010, 1010, 1012, 1016, 1011);
        m_btnOutputMap.SetBitmaps(1125, 1126, 1126);
        m_btnPresetMenu.SetBitmaps(8701, 8710, 8710, 8710, 8710, 8710);
        m_btnSystemMenu.SetBitmaps(8702, 8711, 8711, 8711, 8711, 8711);
        if (g_bOnline)
            SetConnectButtonBitmaps(8741, 8750, 8750);
        else
            SetConnectButtonBitmaps(8751, 8740, 8740);
    } else {
        m_btnMixer.SetBitmaps(1013, 1014, 1014, 1015, 1017, 1013);
        m_btnOutputMap.SetBitmaps(1129, 1130, 1130);
        m_btnPresetMenu.SetBitmaps(8720, 8730, 8730, 8730, 8730, 8730);
        m_btnSystemMenu.SetBitmaps(8721, 8731, 8731, 8731, 8731, 8731);
        if (g_bOnline)
            SetConnectButtonBitmaps(8743, 8752, 8752);
        else
            SetConnectButtonBitmaps(8753, 8742, 8742);
    }
}

void CTALQ50Form::SetMenuTexts() {
    for (const MenuText& t : kMenuTexts) {
        const CString text = ResString(g_bChinese ? t.zh : t.en);
        m_menuPreset.ModifyMenu(t.item, MF_BYCOMMAND | MF_STRING, t.item, text);
        m_menuSystem.ModifyMenu(t.item, MF_BYCOMMAND | MF_STRING, t.item, text);
    }
    CString language;
    if (g_bChinese)
        language = ResString(6112);
    else
        language = GetSystemDefaultLCID() == kLcidChineseSimplified ? CString("中文") : ResString(6132);
    m_menuSystem.ModifyMenu(kLanguageItem, MF_BYCOMMAND | MF_STRING, kLanguageItem, language);
    m_menuSystem.ModifyMenu(kRestoreItem, MF_BYCOMMAND | MF_STRING, kRestoreItem,
                            g_bChinese ? ResString(61454) : CString("Restore factory settings"));
}

void CTALQ50Form::FillSourceList() {
    m_cbSource.ResetContent();
    for (const char* text : g_bChinese ? kSourcesZh : kSourcesEn)
        m_cbSource.AddString(text);
    const int source = g_DeviceSettings.InputSettings[0];
    for (int entry = 0; entry < int(std::size(kSourcesEn)); ++entry) {
        if (SourceOfEntry(entry) == source)
            SetInputSourceEntry(entry);
    }
}

void CTALQ50Form::SetInputSourceEntry(int entry) {
    m_cbSource.SetCurSel(entry);
}

void CTALQ50Form::UpdateTitle() {
    if (CWnd* top = GetTopLevelParent())
        top->SetWindowText(g_strTitle);
}

LRESULT CTALQ50Form::OnSettingChange(WPARAM flags, LPARAM) {
    Default();
    if (flags == SPI_SETWORKAREA || flags == 0) {
        UpdateTitle();
        if (CWnd* top = GetTopLevelParent())
            top->UpdateWindow();
    }
    return 0;
}

// ---- Menus -----------------------------------------------------------------------

void CTALQ50Form::TrackMenu(CMenu& menu, CWnd& button) {
    CMenu* popup = menu.GetSubMenu(0);
    if (!popup)
        return;
    RECT rc;
    button.GetWindowRect(&rc);
    popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, rc.left, rc.bottom + 2, this);
}

void CTALQ50Form::OnPresetMenuButton() {
    CMenu* popup = m_menuPreset.GetSubMenu(0);
    if (!popup)
        return;
    // Without a link the device items look as usual but choose nothing.
    const UINT state = m_link.m_bConnected ? MF_ENABLED : MF_DISABLED;
    for (UINT pos : {0u, 1u, 2u, 7u, 8u})
        popup->EnableMenuItem(pos, MF_BYPOSITION | state);
    for (UINT pos : {4u, 5u})
        popup->EnableMenuItem(pos, MF_BYPOSITION | MF_ENABLED);
    TrackMenu(m_menuPreset, m_btnPresetMenu);
}

void CTALQ50Form::OnSystemMenuButton() {
    TrackMenu(m_menuSystem, m_btnSystemMenu);
}

void CTALQ50Form::OnHelp() {
    const CString& path = GetHelpPath(g_bChinese != 0);
    if (ShellExecute(GetSafeHwnd(), "open", path, nullptr, nullptr, SW_SHOW) > 32)
        return;
    OnShellOpenFailed(0, 0);
}

LRESULT CTALQ50Form::OnShellOpenFailed(WPARAM, LPARAM) {
    CMessageBox box(g_bChinese ? "没有发现帮助文件!" : "Not find help file!", MB_QUIT,
                    g_bChinese ? "帮助" : "Help", 0, GetTopLevelParent());
    box.DoModal();
    return 0;
}

void CTALQ50Form::OnRestoreFactory() {
    CINIT confirm;
    if (confirm.DoModal() != IDOK)
        return;
    SetTimer(kRestoreTimer, kRestoreDelayMs);
    // Without a link the data in memory and on the form are restored all the same.
    if (!m_link.m_bConnected)
        TimedMessageBox(this, g_bChinese ? "没有连接可以打开" : "No connection can be opened", "", MB_OK,
                        g_bChinese, 2000);
}

void CTALQ50Form::OnTimer(UINT_PTR id) {
    if (id == kRestoreTimer) {
        KillTimer(kRestoreTimer);
        m_link.RestoreFactoryData();
    }
    CFormView::OnTimer(id);
}

void CTALQ50Form::TrackConnectMenu(const std::vector<ConnectMenuEntry>& entries) {
    platform::win::MenuData items;
    for (const ConnectMenuEntry& e : entries) {
        platform::win::MenuItem item;
        item.id = e.id;
        item.text = e.label;
        items.items.push_back(std::move(item));
    }
    CMenu menu;
    menu.m_hMenu = &items;
    RECT rc;
    m_btnConnect.GetWindowRect(&rc);
    menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, rc.left, rc.bottom + 2, this);
    menu.m_hMenu = nullptr;
}

// The link's pictures are the checked set; the unchecked set stays empty.
void CTALQ50Form::SetConnectButtonBitmaps(UINT normal, UINT hover, UINT pressed) {
    m_btnConnect.SetBitmaps(int(normal), int(hover), int(pressed), 0, 0, 0);
}

BOOL CTALQ50Form::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (m_link.TakeCommand(wParam))
        return TRUE;
    return CFormView::OnCommand(wParam, lParam);
}

LRESULT CTALQ50Form::OnPresetNameChanged(WPARAM, LPARAM) {
    ShowPresetName();
    return 0;
}
