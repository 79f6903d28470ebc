#pragma once

// A label drawn straight on its parent's background with the dialog's font
// and the alignment of its static styles.  Every change of its text makes
// the parent repaint the area under it.  SetText may come from the
// communication thread: there the text is kept under a lock and the window
// hears of it by a posted message, so only the GUI thread sets window text.

#include "link/LinkProgress.h"
#include "platform/win/Static.h"

#include <mutex>

class CTransparentStatic : public CStatic, public ILinkStatusLabel {
public:
    CTransparentStatic() = default;

    // Equal to the text last accepted: nothing happens.
    void SetText(const CString& text) override;
    void SetTextColor(COLORREF color);

    // Private to the label: carries a text set off the GUI thread.
    static constexpr UINT kApplyText = WM_USER + 0x7212;

protected:
    void OnPaint();
    LRESULT OnSetText(WPARAM, LPARAM);
    LRESULT OnApplyText(WPARAM, LPARAM);
    HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    DECLARE_MESSAGE_MAP()

private:
    COLORREF m_crText = RGB(0, 0, 0);
    CString m_strLast;
    std::mutex m_mutex;
    CString m_strPending;
    bool m_bPending = false;
};
