#pragma once

// The one transfer-progress popup of the run: shown while a batch of frames
// goes to or from the processor, on top of every window, with the window the
// transfer started from disabled.  Its text blinks until the batch has
// ended, then it hides itself.  The link moves its bar frame by frame.

#include "controls/FontStatic.h"
#include "controls/GradientProgressCtrl.h"
#include "platform/win/Dialog.h"

#include <vector>

class CDisplayDlg : public CDialog {
public:
    static constexpr UINT IDD = 104;
    static constexpr UINT_PTR kBlinkTimer = 8;
    static constexpr UINT kBlinkMs = 200;

    explicit CDisplayDlg(CWnd* owner) : CDialog(IDD, owner), m_pOwner(owner) {}

    // otherWindow 0 disables the owner, 1 the device preset dialog when
    // one is open.
    void Show(int otherWindow);
    // Hides the popup and enables again what Show disabled.
    void Close();

    BOOL PreTranslateMessage(MSG* msg) override;

    // The view's share: create the popup hidden and publish it and its bar;
    // at the end of the run take both back.
    static CDisplayDlg* CreateForView(CWnd* view);
    static void DestroyForView();
    // What the link asks of the form.  The update dialog's bar is set with
    // the popup's while that dialog is open.
    static void ShowTransferPopup(int mode);
    static void SetProgressRanges(int upper);
    static void SetPopupProgressRange(int upper);
    static void CloseTransferPopup();

    CFontStatic m_label;
    CGradientProgressCtrl m_progress;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnTimer(UINT_PTR id);
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    void OnClose() {} // the user cannot close it
    DECLARE_MESSAGE_MAP()

private:
    void Disable(CWnd* wnd);

    CWnd* m_pOwner = nullptr;
    CBrush m_brBack;
    CString m_strTextZh;
    CString m_strTextEn;
    int m_bBlink = 0;
    int m_bOtherWindow = 0;
    // What this popup disabled and nobody else had: only these are enabled
    // again, once, whatever happened in between.
    std::vector<HWND> m_disabled;
};

extern CDisplayDlg* g_pDisplayDlg;
// The device preset dialog while it is open, else null: a transfer started
// from it disables it instead of the view.
extern CDialog* g_pProgramDlg;
