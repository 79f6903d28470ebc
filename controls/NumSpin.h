#pragma once

// The up-down control paired with a numeric edit (its buddy).  Range and
// value live in the edit; the spin keeps copies, steps plainly, through the
// frequency table (modes 4 and 8) or in whole shown centimetres and inches
// for delays (mode 2), and tells its parent by WM_COMMAND with its own id:
// at once for a key or spin-button step, at most every 400 ms while an
// arrow is held, and once more on release after a change.  In mode 2 each
// key or spin-button step is followed by a posted UM_SPIN_STEP (id, signed
// step).

#include "platform/win/SpinButtonCtrl.h"

class CNumEdit;

class CNumSpin : public CSpinButtonCtrl {
public:
    CNumSpin() = default;

    // The buddy must be a CNumEdit.
    virtual CWnd* SetBuddy(CWnd* buddy);
    virtual CWnd* GetBuddy() const;
    virtual void GetRange32(int& lower, int& upper) const;
    // Also gives the buddy the range (its value becomes the minimum) and
    // takes the buddy's display type as the stepping mode, so whether the
    // type is set before or after decides how the spin steps.
    virtual void SetRange(int minimum, int maximum);
    // The buddy's value, typed text read first.
    virtual int GetPos();
    // Outside the range: a message box, then the bounded position.
    virtual void SetPos(int position);
    // A value from the model, which a file or the processor may have filled
    // with anything: shown at the nearest end of the range, without a box.
    // Returns the position shown.
    int ShowValue(int value);
    virtual int IsDirty();

    void SetMode(int mode) { m_nMode = mode; }
    int GetMode() const { return m_nMode; }
    // One step from outside (the edit's spin button).
    void StepBy(int delta);

    static constexpr UINT_PTR kNotifyTimer = 550;

protected:
    void OnDeltaPos(NMHDR* hdr, LRESULT* result);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

private:
    CNumEdit* Buddy() const;
    void Move(int old, int delta);
    void KeyStep(CNumEdit* buddy, int old, int delta);
    void FrequencyStep(CNumEdit* buddy);
    void NotifyParent();

    CNumEdit* m_pBuddy = nullptr;
    int m_nPos = 0;
    int m_nMin = 0;
    int m_nMax = 0;
    CWnd* m_pParent = nullptr;
    int m_nRepeatMs = 400;
    BOOL m_bHeld = FALSE;
    BOOL m_bPending = FALSE;
    int m_nMode = 0;
};
