#include "controls/DropWnd.h"

#include "controls/ComBoxBtn.h"
#include "platform/sys/UserMessages.h"
#include "platform/win/WndClass.h"

BEGIN_MESSAGE_MAP(CDropWnd, CWnd)
ON_WM_SIZE()
ON_WM_SHOWWINDOW()
ON_LBN_SELCHANGE(CDropWnd::kListId, &CDropWnd::OnSelChange)
END_MESSAGE_MAP()

CDropWnd::~CDropWnd() {
    // The list goes first: its window is a child of this one.
    m_pList.reset();
    DestroyWindow();
}

BOOL CDropWnd::CreatePopup(CComBoxBtn* owner, UINT) {
    const CString cls = AfxRegisterWndClass(CS_SAVEBITS);
    if (!CreateEx(WS_EX_TOPMOST, cls.c_str(), nullptr, WS_POPUP | WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0},
                  owner, 0))
        return FALSE;
    m_pList = std::make_unique<CDropListBox>();
    if (!m_pList->Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
                             LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
                         RECT{0, 0, 0, 0}, this, kListId)) {
        m_pList.reset();
        return FALSE;
    }
    m_pOwner = owner;
    return TRUE;
}

void CDropWnd::OnSize(UINT type, int cx, int cy) {
    CWnd::OnSize(type, cx, cy);
    if (m_pList && m_pList->GetSafeHwnd()) {
        CRect client;
        GetClientRect(&client);
        m_pList->MoveWindow(&client, TRUE);
    }
}

void CDropWnd::OnShowWindow(BOOL show, UINT status) {
    m_nShowStatus = status;
    CWnd::OnShowWindow(show, status);
}

// A selection change is a pick only when the mouse is over the popup; one
// from the keyboard elsewhere is taken back.
void CDropWnd::OnSelChange() {
    ShowWindow(SW_HIDE);
    CRect rect;
    GetWindowRect(&rect);
    POINT cursor;
    ::GetCursorPos(&cursor);
    if (rect.PtInRect(cursor)) {
        if (m_pOwner)
            m_pOwner->SendMessage(UM_DROPLIST_SELECTED, WPARAM(m_pList->GetCurSel()), 0);
    } else {
        m_pList->SetCurSel(m_pList->GetCurSelIndex());
    }
}
