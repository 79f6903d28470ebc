#pragma once

// The popup of a drop-down button: a frameless top-most window owned by the
// button that holds the list and hands a pick on to the button.

#include "controls/DropListBox.h"

#include <memory>

class CComBoxBtn;

class CDropWnd : public CWnd {
public:
    CDropWnd() = default;
    ~CDropWnd() override;

    // Created visible with no size at (0,0); the id is not used further,
    // the button reports its own.
    BOOL CreatePopup(CComBoxBtn* owner, UINT id);
    CDropListBox* GetList() { return m_pList.get(); }
    const CDropListBox* GetList() const { return m_pList.get(); }
    // The status of the last WM_SHOWWINDOW: non-zero only when the owner's
    // minimising or restoring showed or hid it.
    UINT GetShowStatus() const { return m_nShowStatus; }

    static constexpr UINT kListId = 1825;

protected:
    void OnSize(UINT type, int cx, int cy);
    void OnShowWindow(BOOL show, UINT status);
    void OnSelChange();
    DECLARE_MESSAGE_MAP()

private:
    CComBoxBtn* m_pOwner = nullptr;
    UINT m_nShowStatus = 0;
    std::unique_ptr<CDropListBox> m_pList;
};
