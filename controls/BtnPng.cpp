#include "controls/BtnPng.h"

#include "controls/ButtonKind.h"
#include "model/Globals.h"
#include "platform/sys/UserMessages.h"

BEGIN_MESSAGE_MAP(CBtnPng, CButton)
ON_WM_CTLCOLOR_REFLECT()
ON_WM_ERASEBKGND()
ON_WM_MOUSEMOVE()
ON_MESSAGE(WM_MOUSEHOVER, &CBtnPng::OnMouseHoverMsg)
ON_MESSAGE(WM_MOUSELEAVE, &CBtnPng::OnMouseLeaveMsg)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CBtnPng::~CBtnPng() = default;

std::unique_ptr<CPngResImage> CBtnPng::LoadImage(UINT id) {
    auto image = std::make_unique<CPngResImage>();
    image->Load(id, "PNG");
    return image;
}

void CBtnPng::SetImages(UINT normal, UINT hover, UINT pressed) {
    m_pImages[0] = LoadImage(normal);
    m_pImages[1] = LoadImage(hover);
    m_pImages[2] = LoadImage(pressed);
    UINT flags = SWP_NOMOVE;
    if (Gdiplus::Bitmap* picture = m_pImages[0]->GetBitmap()) {
        m_nImageWidth = int(picture->GetWidth());
        m_nImageHeight = int(picture->GetHeight());
    } else {
        flags |= SWP_NOSIZE; // keeps the template's size
    }
    SetWindowPos(&wndTop, 0, 0, m_nImageWidth, m_nImageHeight, flags);
}

void CBtnPng::SetCheckedImages(UINT normal, UINT hover, UINT pressed) {
    m_pImages[3] = LoadImage(normal);
    m_pImages[4] = LoadImage(hover);
    m_pImages[5] = LoadImage(pressed);
}

void CBtnPng::SetAllImages(UINT normal, UINT hover, UINT pressed, UINT checkedNormal, UINT checkedHover,
                           UINT checkedPressed) {
    const UINT ids[6] = {normal, hover, pressed, checkedNormal, checkedHover, checkedPressed};
    for (int i = 0; i < 6; ++i)
        m_pLangImages[i] = LoadImage(ids[i]);
    m_bLangImages = TRUE;
}

void CBtnPng::SetChecked(BOOL checked) {
    if (checked == m_bChecked)
        return;
    m_bChecked = checked;
    if (!m_bChecked)
        for (CBtnPng* buddy : m_pBuddies)
            if (buddy)
                buddy->SetHoverLook(FALSE);
    Invalidate(FALSE);
}

void CBtnPng::SetBuddies(CBtnPng* first, CBtnPng* second) {
    m_pBuddies[0] = first;
    m_pBuddies[1] = second;
}

void CBtnPng::SetHoverLook(BOOL hover) {
    m_bHover = hover;
    Invalidate(FALSE);
}

void CBtnPng::ShowButton(int show) {
    if (show == SW_HIDE)
        m_pBuddies[0] = m_pBuddies[1] = nullptr;
    Invalidate(FALSE);
    ShowWindow(show);
}

void CBtnPng::PreSubclassWindow() {
    // Every kind becomes owner-drawn; kind 0 is the one drawn from the cache.
    m_nKind = ButtonKindOf(GetStyle());
    ModifyStyle(0, BS_OWNERDRAW, SWP_FRAMECHANGED);
    CButton::PreSubclassWindow();
}

HBRUSH CBtnPng::CtlColor(CDC* dc, UINT) {
    BuildStateCache(dc);
    return nullptr;
}

CSize CBtnPng::PictureSize() const {
    // Without a normal picture the client area stands in for its size.
    CRect client;
    GetClientRect(&client);
    return CSize(m_nImageWidth > 0 ? m_nImageWidth : client.Width(),
                 m_nImageHeight > 0 ? m_nImageHeight : client.Height());
}

void CBtnPng::BuildStateCache(CDC* dc) {
    const CSize size = PictureSize();
    const int width = size.cx, height = size.cy;

    CacheEntry& background = m_cache[kBackground];
    if (!background.dc.GetSafeHdc()) {
        if (CWnd* parent = GetParent()) {
            CDC* parentDc = parent->GetDC();
            CRect place;
            GetWindowRect(&place);
            parent->ScreenToClient(&place);
            background.dc.CreateCompatibleDC(parentDc);
            background.bitmap.CreateCompatibleBitmap(parentDc, width, height);
            background.old = background.dc.SelectObject(&background.bitmap);
            background.dc.BitBlt(0, 0, width, height, parentDc, place.left, place.top, SRCCOPY);
            parent->ReleaseDC(parentDc);
        }
    }

    CPngResImage* const images[8] = {
        m_pImages[0].get(), m_pImages[1].get(), m_pImages[2].get(),         m_pImages[3].get(),
        m_pImages[4].get(), m_pImages[5].get(), m_pDisabledImages[0].get(), m_pDisabledImages[1].get()};
    for (int i = 0; i < 8; ++i)
        ComposeState(dc, m_cache[i < 6 ? kStates + i : kDisabledUnchecked + (i - 6)], images[i]);
    if (m_bLangImages)
        for (int i = 0; i < 6; ++i)
            ComposeState(dc, m_cache[kLangStates + i], m_pLangImages[i].get());

    if (!m_pCurrent)
        m_pCurrent = &m_cache[m_bLangImages ? kLangStates : kStates].dc;
}

void CBtnPng::ComposeState(CDC* dc, CacheEntry& entry, CPngResImage* image) {
    if (entry.dc.GetSafeHdc())
        return;
    CRect client;
    GetClientRect(&client);
    const CSize size = PictureSize();
    const int width = size.cx, height = size.cy;
    if (image && image->GetBitmap()) {
        CacheEntry& background = m_cache[kBackground];
        if (background.dc.GetSafeHdc())
            dc->BitBlt(0, 0, client.Width(), client.Height(), &background.dc, 0, 0, SRCCOPY);
        Gdiplus::Graphics graphics(dc->GetSafeHdc());
        graphics.DrawImage(image->GetBitmap(), 0, 0, width, height);
    }
    entry.dc.CreateCompatibleDC(dc);
    entry.bitmap.CreateCompatibleBitmap(dc, width, height);
    entry.old = entry.dc.SelectObject(&entry.bitmap);
    entry.dc.BitBlt(0, 0, width, height, dc, 0, 0, SRCCOPY);
}

void CBtnPng::DrawItem(LPDRAWITEMSTRUCT dis) {
    m_pDrawItem = dis;
    if (m_nKind == 2) {
        CButton::DrawItem(dis);
        return;
    }
    if (m_nKind == 4)
        return;
    int entry;
    if (dis->itemState & ODS_DISABLED) {
        entry = m_bChecked ? kDisabledChecked : kDisabledUnchecked;
    } else {
        const int state = (m_bHover && m_bPressed ? 2 : m_bHover ? 1 : 0) + (m_bChecked ? 3 : 0);
        entry = (m_bLangImages && g_bChinese ? kLangStates : kStates) + state;
    }
    m_pCurrent = &m_cache[entry].dc;
    if (!m_pCurrent->GetSafeHdc())
        return; // not composed: nothing to show yet
    CRect client;
    GetClientRect(&client);
    CDC::FromHandle(dis->hDC)->BitBlt(0, 0, client.Width(), client.Height(), m_pCurrent, 0, 0, SRCCOPY);
}

void CBtnPng::OnMouseMove(UINT flags, CPoint point) {
    TRACKMOUSEEVENT track;
    track.dwFlags = TME_LEAVE | TME_HOVER;
    track.hwndTrack = m_hWnd;
    track.dwHoverTime = 1;
    ::TrackMouseEvent(&track);
    if (m_bMoveNotify && point != m_ptLastMove) {
        m_ptLastMove = point;
        if (CWnd* parent = GetParent())
            parent->SendMessage(UM_MOUSE_MOVE_NOTIFY, flags, GetDlgCtrlID());
    }
    CButton::OnMouseMove(flags, point);
}

LRESULT CBtnPng::OnMouseHoverMsg(WPARAM, LPARAM) {
    if (!m_bHover) {
        Invalidate(TRUE);
        if (!m_bChecked)
            for (CBtnPng* buddy : m_pBuddies)
                if (buddy)
                    buddy->SetHoverLook(TRUE);
        m_bHover = TRUE;
    }
    return 0;
}

LRESULT CBtnPng::OnMouseLeaveMsg(WPARAM, LPARAM) {
    m_bHover = FALSE;
    Invalidate(TRUE);
    if (!m_bChecked)
        for (CBtnPng* buddy : m_pBuddies)
            if (buddy)
                buddy->SetHoverLook(FALSE);
    return 0;
}

void CBtnPng::OnLButtonDown(UINT flags, CPoint point) {
    m_bPressed = TRUE;
    Invalidate(TRUE);
    CButton::OnLButtonDown(flags, point);
}

void CBtnPng::OnLButtonUp(UINT flags, CPoint point) {
    m_bPressed = FALSE;
    CButton::OnLButtonUp(flags, point);
}
