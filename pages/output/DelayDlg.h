#pragma once

// The small panel of the output page that chooses the unit every delay of
// the output strips is shown in: milliseconds, centimetres or inches.  The
// three buttons are mutually exclusive; a click reports the unit to the
// parent with UM_DELAY_UNIT_CHANGED (the panel's own id, unit 1..3).

#include "controls/BitButton.h"
#include "platform/win/Dialog.h"

class CDelayDlg : public CDialog {
public:
    static constexpr UINT IDD = 103;
    enum Unit { kMs = 1, kCm = 2, kInch = 3 };

    CDelayDlg() : CDialog(IDD) {}

    // Store a button's state (0 off, 1 on) and skin it for the state and
    // the current language.
    void SetUnitButton1(int state);
    void SetUnitButton2(int state);
    void SetUnitButton3(int state);
    // The three setters in order; after a language change the page passes
    // the panel's own states to re-skin the buttons.
    void SetUnitButtons(int ms, int cm, int inch);
    int GetUnitState(Unit unit) const { return m_nState[unit - 1]; }

    BOOL PreTranslateMessage(MSG* msg) override;

    // The output page that holds the panel.
    CWnd* m_pPage = nullptr;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    void OnMs() { Choose(kMs); }
    void OnCm() { Choose(kCm); }
    void OnInch() { Choose(kInch); }
    DECLARE_MESSAGE_MAP()

private:
    void SetUnitButton(Unit unit, int state);
    void Choose(Unit unit);

    CBitButton m_btnUnit[3];
    int m_nState[3] = {0, 0, 0}; // MS, CM, INCH
    CBitmap m_bmBackground[2];   // Chinese, English
};
