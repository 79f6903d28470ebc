#pragma once

// The edit box of every numeric parameter.  It holds an integer value in the
// device's unit with its range, shows it by a display type
// (NumDisplayTypes.h) and reads typed text back when it loses the focus,
// telling its owner with WM_COMMAND (its id, code 0).  A left click tells
// the owner too, before anything else.  Idle it is transparent with white
// text; focused or highlighted it shows black on RGB(137,172,209).  It may
// carry a skinned spin button over itself, shown while it is read-only, and
// a linked slider whose focus mark follows its focus.

#include "controls/NumDisplayTypes.h"
#include "controls/SpinBtn.h"
#include "platform/win/Edit.h"

class CBitmapSlider;
class CNumSpin;

class CNumEdit : public CEdit {
public:
    CNumEdit();
    ~CNumEdit() override;

    // The value becomes the minimum; the text changes at the next Refresh.
    void SetRange(int minimum, int maximum);
    void SetStep(double step) { m_dStep = step; }
    void SetOffset(double offset) { m_dOffset = offset; }
    void SetType(int type, CString unit);
    int GetType() const { return m_nType; }
    const CString& GetUnit() const { return m_strUnit; }
    // A value outside the range is ignored.
    void SetValue(int value);
    // Typed text is read first (without telling anyone).
    int GetValue();
    int IsDirty() const { return m_bDirty; }

    virtual int Refresh();
    // SW_SHOW or SW_HIDE; see GetShowChanged.
    virtual int Show(int command);
    virtual BOOL Enable(BOOL enable);
    virtual BOOL SetReadOnly(BOOL readOnly);

    void SetHighlight(BOOL highlight);
    BOOL GetHighlight() const { return m_bHighlight; }
    // Swaps an off text for the other language's.
    void RefreshLanguage();
    void SetSlider(CBitmapSlider* slider) { m_pSlider = slider; }
    void CreateSpin(UINT id);
    void AttachSpin(UINT id, CNumSpin* spin);
    CSpinBtn& GetSpinButton() { return m_spinBtn; }
    // 1 when the last Show changed the window's visibility.
    int GetShowChanged() const { return m_bShowChanged; }

    static constexpr COLORREF kHighlight = RGB(137, 172, 209);

protected:
    void OnUpdate();
    void OnKillFocus(CWnd* next);
    HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnSetFocusReflect();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    NumDisplayFields Fields() const;
    void InvalidateInParent();
    void NotifyOwner();

    CBitmapSlider* m_pSlider = nullptr;
    CSpinBtn m_spinBtn;
    int m_bHasSpin = 0;
    int m_nValue = 0;
    int m_nType = 0;
    int m_nMax = 0;
    int m_nMin = 0;
    int m_bDirty = 0;
    double m_dStep = 0.0;
    double m_dOffset = 0.0;
    CString m_strUnit;
    CBrush m_brHighlight{kHighlight};
    COLORREF m_crHighlight = kHighlight;
    BOOL m_bHighlight = FALSE;
    int m_bVisible = 1;
    int m_bShowChanged = 0;
};
