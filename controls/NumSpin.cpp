#include "controls/NumSpin.h"

#include "controls/NumEdit.h"
#include "model/DataDefine.h"
#include "model/DelaySteps.h"
#include "model/Globals.h"
#include "platform/sys/MessageBox.h"
#include "platform/sys/UserMessages.h"

#include <algorithm>
#include <cstdint>

BEGIN_MESSAGE_MAP(CNumSpin, CSpinButtonCtrl)
ON_NOTIFY_REFLECT(UDN_DELTAPOS, &CNumSpin::OnDeltaPos)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_TIMER()
END_MESSAGE_MAP()

CNumEdit* CNumSpin::Buddy() const {
    return dynamic_cast<CNumEdit*>(CSpinButtonCtrl::GetBuddy());
}

CWnd* CNumSpin::SetBuddy(CWnd* buddy) {
    CWnd* old = CSpinButtonCtrl::SetBuddy(buddy);
    m_pBuddy = Buddy();
    return old;
}

CWnd* CNumSpin::GetBuddy() const {
    return CSpinButtonCtrl::GetBuddy();
}

void CNumSpin::GetRange32(int& lower, int& upper) const {
    CSpinButtonCtrl::GetRange32(lower, upper);
}

void CNumSpin::SetRange(int minimum, int maximum) {
    m_nMin = minimum;
    m_nMax = maximum;
    m_pBuddy = Buddy();
    if (m_pBuddy) {
        m_pBuddy->SetRange(minimum, maximum);
        m_nMode = m_pBuddy->GetType();
    }
    SetRange32(minimum, maximum);
}

int CNumSpin::GetPos() {
    m_pBuddy = Buddy();
    if (m_pBuddy)
        m_nPos = m_pBuddy->GetValue();
    return m_nPos;
}

void CNumSpin::SetPos(int position) {
    m_pBuddy = Buddy();
    if (position < m_nMin || position > m_nMax) {
        if (g_bChinese)
            AfxMessageBox("设定Pos错误!", MB_OK, -2);
        else
            AfxMessageBox("Set Pos Error!", MB_OK, -3);
        position = std::clamp(position, std::min(m_nMin, m_nMax), std::max(m_nMin, m_nMax));
    }
    m_nPos = position;
    if (m_pBuddy)
        m_pBuddy->SetValue(position);
}

int CNumSpin::ShowValue(int value) {
    const int shown = std::clamp(value, std::min(m_nMin, m_nMax), std::max(m_nMin, m_nMax));
    SetPos(shown);
    return shown;
}

int CNumSpin::IsDirty() {
    m_pBuddy = Buddy();
    return m_pBuddy ? m_pBuddy->IsDirty() : 0;
}

void CNumSpin::NotifyParent() {
    m_pParent = GetParent();
    if (!m_pParent)
        return;
    const auto handle = LPARAM(reinterpret_cast<std::uintptr_t>(GetSafeHwnd()) & 0xFFFF);
    m_pParent->SendMessage(WM_COMMAND, MAKEWPARAM(UINT(GetDlgCtrlID()), 0), handle);
}

void CNumSpin::Move(int old, int delta) {
    const long long next = std::clamp<long long>(static_cast<long long>(old) + delta,
                                                 std::min(m_nMin, m_nMax), std::max(m_nMin, m_nMax));
    if (int(next) != m_nPos) {
        m_nPos = int(next);
        m_bPending = TRUE;
    }
}

// A step from the keyboard or the spin button: the owner hears of it at once.
void CNumSpin::KeyStep(CNumEdit* buddy, int old, int delta) {
    if (m_nMode != 2) {
        if (buddy)
            buddy->SetValue(m_nPos);
        NotifyParent();
        return;
    }
    // Delays shown as distances move by whole shown units.
    if (buddy) {
        switch (buddy->GetType()) {
        case 0:
            buddy->SetValue(m_nPos);
            break;
        case 1:
        case 2:
            m_nPos = buddy->GetType() == 1 ? DelayStepByCm(old, delta) : DelayStepByInch(old, delta);
            m_nPos = std::clamp(m_nPos, std::min(m_nMin, m_nMax), std::max(m_nMin, m_nMax));
            buddy->SetValue(m_nPos);
            break;
        default:
            break;
        }
    }
    const HWND self = GetSafeHwnd();
    NotifyParent();
    if (!::IsWindow(self))
        return;
    if (CWnd* parent = GetParent())
        parent->PostMessage(UM_SPIN_STEP, WPARAM(GetDlgCtrlID()), LPARAM(delta));
}

void CNumSpin::FrequencyStep(CNumEdit* buddy) {
    const int v = buddy->GetValue();
    if (m_nPos == v)
        return;
    const int k = FreqToIndex(m_nPos);
    if (m_nPos > v) {
        const int next = k >= kFreqSteps - 1 ? kFreqSteps : std::min(k + 2, kFreqSteps);
        m_nPos = std::min(TruncToInt(g_FreqTable[next]), m_nMax);
    } else {
        const int next = k == 1 ? 2 : std::max(k, 0);
        m_nPos = std::max(TruncToInt(g_FreqTable[next]), m_nMin);
    }
    SetPos(m_nPos);
}

void CNumSpin::OnDeltaPos(NMHDR* hdr, LRESULT* result) {
    *result = 0;
    const auto* nm = reinterpret_cast<NMUPDOWN*>(hdr);
    CNumEdit* buddy = m_pBuddy = Buddy();
    const int old = buddy && buddy->IsDirty() ? GetPos() : m_nPos;
    Move(old, nm->iDelta);
    if (buddy && (m_nMode == 4 || m_nMode == 8))
        FrequencyStep(buddy);
    if (m_bHeld) {
        // Held arrows: the text follows every step, the timer and the
        // release tell the owner.
        if (buddy)
            buddy->SetValue(m_nPos);
        return;
    }
    KeyStep(buddy, old, nm->iDelta);
}

void CNumSpin::StepBy(int delta) {
    const int old = GetPos();
    Move(old, delta);
    if (m_bHeld)
        return;
    KeyStep(Buddy(), old, delta);
}

void CNumSpin::OnLButtonDown(UINT, CPoint) {
    SetTimer(kNotifyTimer, UINT(m_nRepeatMs));
    m_bHeld = TRUE;
    Default();
}

void CNumSpin::OnTimer(UINT_PTR id) {
    if (id == kNotifyTimer && m_bPending && GetParent()) {
        m_bPending = FALSE;
        NotifyParent();
    }
    Default();
}

void CNumSpin::OnLButtonUp(UINT, CPoint) {
    m_bHeld = FALSE;
    KillTimer(kNotifyTimer);
    if (m_bPending) {
        m_bPending = FALSE;
        NotifyParent();
    }
    Default();
}
