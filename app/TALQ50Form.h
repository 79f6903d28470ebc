#pragma once

// The main view: a form on template 101 that fills the child frame.  It
// draws the skinned background, moves the frameless main window when
// dragged, carries the title strip's buttons and the two popup menus, keeps
// the registry settings, switches the language, handles what the output
// strips, the output page and the master gain panel report, and owns the
// device link (its display-free part, CTALQ50View) together with the
// network link.  To the link it is the form (ISyncForm).

#include "app/DisplayDlg.h"
#include "app/FormLink.h"
#include "app/GainDlg.h"
#include "controls/BitButton.h"
#include "controls/ComBoxBtn.h"
#include "controls/EnTabCtrl.h"
#include "controls/XPButton.h"
#include "link/KTVDataLink.h"
#include "link/SyncForm.h"
#include "pages/input/MixInPutCom.h"
#include "pages/output/LinkGroupSurface.h"
#include "pages/output/LinkedOutputMute.h"
#include "pages/output/OutRoute_Dlg.h"
#include "pages/output/OutputDlg.h"
#include "pages/output/OutputForm.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/win/FormView.h"
#include "platform/win/Menu.h"

#include "model/Globals.h"

#include <array>
#include <memory>

class CKTV_Data;
class CKTV_OutData;
class CTALQ50Doc;
class INetLink;

class CTALQ50Form : public CFormView, public ISyncForm, public IOutputForm, public ILinkGroupSurface {
public:
    static constexpr UINT kTemplateId = 101;

    explicit CTALQ50Form(CTALQ50Doc* doc);
    ~CTALQ50Form() override;

    void OnInitialUpdate() override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    // ---- Start-up and shut-down ----
    void SetUpForm();
    void SelectPage(int page, int switchFlag);
    // The close button's sequence; also what a stop signal runs.
    void OnCloseButton();
    void OnMinimizeButton();

    // ---- Language and title ----
    void SwitchLanguage(int toggle);
    void ApplyLanguage();
    void UpdateTitle();

    // ---- Registry settings ----
    int ReadFolderSetting(int which);
    int SaveFolderSettings(int which);
    int ReadDspMcuSettings();
    int SaveDspMcuSettings() { return m_link.SaveDspMcuSettings(); }
    int ReadLineSetting();
    static BOOL IsMissingFolder(const CString& path);
    // Folder k (1 single preset, 2 all presets, 3 output map, 4 firmware).
    CString GetFolder(int which);
    void SetFolder(int which, const CString& folder);

    // ---- Strips, master gain and input source ----
    void OnSelectOutput(int output);
    void OnSpeakerTypeSelected(int output, int type);
    void OnStripGainChanged(int output, int gain);
    void OnStripDelayChanged(int output, int delay);
    void OnStripEnableToggled(int output, int on);
    void OnMasterGainChanged();
    void OnDropListSelected(UINT controlId);
    void OnMixerButton();
    void OnOutputMapButton();
    void SelectInputSource(int source, int store) { m_link.SelectInputSource(source, store); }
    void ApplySpeakerTypeMix(int output, int type) override;
    void UpdatePanels(WPARAM controlId, int unit) override;
    void HighlightLinkGroup(int ignored, int group) override;
    BOOL ApplyChannelLinks(int direction);
    CComBoxBtn& GetSourceList() { return m_cbSource; }
    // The source code of a list index of the drop-down; -1 for no entry.
    static int SourceOfEntry(int entry);

    // ---- Menus ----
    void OnPresetMenuButton();
    void OnSystemMenuButton();
    void OnLanguage() { SwitchLanguage(1); }
    // The help file goes to the desktop's viewer; a viewer that turns out not
    // to take it is reported when it does (UM_SHELL_OPEN_FAILED).
    void OnHelp();
    void OnFirmwareUpdate();
    void OnVersion();
    void OnRestoreFactory();
    void OnSaveAllPresets() { m_link.ReadAllPresets(); }
    // The device preset dialog in its three modes (TALQ50Form_Presets.cpp).
    void OnLoadMachinePreset();
    void OnSaveAsMachinePreset();
    void OnDeleteMachinePreset();
    void RunPresetDialog(int mode);
    void OnLoadPresetFile() { m_link.LoadPresetFile(); }
    void OnLoadAllPresetsFile() { m_link.LoadAllPresetsFile(); }
    void OnSavePresetFile() { m_link.SavePresetFile(); }
    CMenu& GetPresetMenu() { return m_menuPreset; }
    CMenu& GetSystemMenu() { return m_menuSystem; }
    const CString& GetHelpPath(bool chinese) const { return chinese ? m_strHelpZh : m_strHelpEn; }

    // ---- ISyncForm ----
    void SetConnectButtonBitmaps(UINT normal, UINT hover, UINT pressed) override;
    void SetLinkLabel(const CString&, bool) override {}
    void CloseTransferPopup() override { CDisplayDlg::CloseTransferPopup(); }
    void ShowUnlockedForm() override;
    void UpdateAllControls() override;
    void UpdateOutputControls() override;
    void ShowPresetName() override {}
    void InvalidateView() override { Invalidate(FALSE); }
    void SetInputSourceEntry(int entry) override;
    void UpdateStripTypeCaptions() override;
    // The program has no output-map lock that would disable the strips.
    void UpdateStripsEnable() override {}
    void RefreshBands() override { m_dlgOutput.RefreshBands(); }
    void ShowTransferPopup(int mode) override { CDisplayDlg::ShowTransferPopup(mode); }
    void SetProgressRanges(int upper) override { CDisplayDlg::SetProgressRanges(upper); }
    void SetPopupProgressRange(int upper) override { CDisplayDlg::SetPopupProgressRange(upper); }
    void TrackConnectMenu(const std::vector<ConnectMenuEntry>& entries) override;
    int ChooseAllPresetsFile() override { return m_link.ChooseAllPresetsFile(); }
    int SaveAllPresetsFile() override { return m_link.SaveAllPresetsFile(); }

    // ---- IOutputForm and ILinkGroupSurface ----
    void UpdateTypeCaption(int strip) override;
    void SetSelectLatched(int strip, BOOL latched) override;
    void SetGroupImage(int output, int number) override;
    BOOL IsGroupLatched(int output) override;
    void SetGroupLatched(int output, BOOL latched) override;
    BOOL IsSelectLatched(int output) override;
    int FindFreeSlot() override;
    void MuteLinkedOutputs(int anchor, int flag) override;
    void RedrawGraph() override;
    void ShowChannel(int output) override;
    void UnlatchPageLinkMark() override;

    CTALQ50View& GetLink() { return m_link; }
    COutputDlg& GetOutputPage() { return m_dlgOutput; }
    CGainDlg& GetGainPanel() { return m_dlgGain; }
    COutRoute_Dlg& GetStrip(int output) { return m_strips[std::size_t(output)]; }
    // Where the strips sit: x of strip i, and their common top.
    static int StripX(int output) { return int((138 + 4.5) * output + 144); }
    static constexpr int kStripTop = 499;
    CKTV_Data* m_pData = nullptr;
    int m_bClosing = 0;

protected:
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnDestroy();
    void OnTimer(UINT_PTR id);
    LRESULT OnSettingChange(WPARAM flags, LPARAM);
    LRESULT OnSelectOutputMsg(WPARAM wParam, LPARAM);
    LRESULT OnSpeakerTypeMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnStripGainMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnStripDelayMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnStripEnableMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnMasterGainMsg(WPARAM, LPARAM);
    LRESULT OnDropListMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnPresetNameChanged(WPARAM, LPARAM);
    LRESULT OnShellOpenFailed(WPARAM, LPARAM);
    void OnTabSelChange(NMHDR*, LRESULT* result) { *result = 0; }
    DECLARE_MESSAGE_MAP()

private:
    // Stops the communication thread, drops this instance's USB mark and ends
    // the ping; only the first call does anything.
    void StopLink();
    void SetLanguageBitmaps();
    void ApplyStripLanguage(COutRoute_Dlg& strip);
    void ShowStripValues(COutRoute_Dlg& strip);
    void InvalidateStrips();
    void SetMenuTexts();
    void FillSourceList();
    void TrackMenu(CMenu& menu, CWnd& button);

    // Form controls.
    CBitButton m_btnMixer;
    CBitButton m_btnOutputMap;
    CBitButton m_btnMinimize;
    CBitButton m_btnClose;
    CXPButton m_btnPresetMenu;
    CXPButton m_btnSystemMenu;
    CXPButton m_btnConnect;
    CEnTabCtrl m_tab;
    CComBoxBtn m_cbSource;

    CTALQ50Doc* m_pDoc = nullptr;
    CBitmap m_bmpBackgroundZh;
    CBitmap m_bmpBackgroundEn;
    CMenu m_menuPreset;
    CMenu m_menuSystem;
    CMenu m_menuInterface;

    // The device link: the model as the link sees it, the network link, and
    // the link's own part of the view.
    CKTVDataLink m_modelLink;
    std::unique_ptr<INetLink> m_pNet;
    CFormLink m_link;
    bool m_bLinkStopped = false;

    // Pages and panels.
    COutputDlg m_dlgOutput;
    CMixInPutCom m_dlgMixer;
    CGainDlg m_dlgGain;
    std::array<COutRoute_Dlg, kOutputCount> m_strips;
    CLinkedOutputMute m_mute;
    CRect m_rcStrips{107, 498, 1845, 720};

    CKTV_OutData* m_pCurOutput = nullptr;
    int m_nGainDelta = 0;

    CString m_strStartFolder;
    CString m_strHelpZh;
    CString m_strHelpEn;

    CRect m_rcDrag;
    BOOL m_bDragging = FALSE;
    CPoint m_ptDragStart;
};

// The one view of the program; null before it is built and after it is gone.
extern CTALQ50Form* g_pView;
