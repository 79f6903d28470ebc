#include "controls/BitmapSlider.h"

#include "controls/MemDC.h"
#include "controls/NumEdit.h"
#include "model/DataDefine.h"
#include "platform/sys/UserMessages.h"
#include "platform/win/PaintDC.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CBitmapSlider, CStatic)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_GETDLGCODE()
ON_WM_KEYDOWN()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_TIMER()
ON_WM_MOUSEWHEEL()
ON_WM_SETCURSOR()
ON_WM_DESTROY()
ON_MESSAGE(UM_SLIDER_TAKE_FOCUS, &CBitmapSlider::OnTakeFocus)
END_MESSAGE_MAP()

BOOL CBitmapSlider::LoadPicture(CBitmap& picture, CBitmap& mask, UINT id, BOOL transparent,
                                COLORREF maskColor, int x, int y) {
    picture.DeleteObject();
    mask.DeleteObject();
    if (!picture.LoadBitmap(id))
        return FALSE;
    if (!transparent)
        return TRUE;
    BITMAP info;
    picture.GetBitmap(&info);
    CDC pictureDC, maskDC;
    pictureDC.CreateCompatibleDC(nullptr);
    maskDC.CreateCompatibleDC(nullptr);
    CBitmap* oldPicture = pictureDC.SelectObject(&picture);
    const COLORREF key = maskColor == kMaskFromPixel ? pictureDC.GetPixel(x, y) : maskColor;
    mask.CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, nullptr);
    CBitmap* oldMask = maskDC.SelectObject(&mask);
    // The mask: 1 where the picture has the key colour.
    pictureDC.SetBkColor(key);
    maskDC.BitBlt(0, 0, info.bmWidth, info.bmHeight, &pictureDC, 0, 0, SRCCOPY);
    // The picture: black where the mask is 1.
    pictureDC.SetBkColor(RGB(0, 0, 0));
    pictureDC.SetTextColor(RGB(255, 255, 255));
    pictureDC.BitBlt(0, 0, info.bmWidth, info.bmHeight, &maskDC, 0, 0, SRCAND);
    maskDC.SelectObject(oldMask);
    pictureDC.SelectObject(oldPicture);
    return TRUE;
}

BOOL CBitmapSlider::SetBitmapChannel(UINT channelId, UINT activeId, BOOL transparent, COLORREF maskColor,
                                     int x, int y) {
    if (channelId == 0) {
        m_bmChannel.DeleteObject();
        m_bmChannelMask.DeleteObject();
        m_bmChannelActive.DeleteObject();
        m_bmChannelActiveMask.DeleteObject();
        m_bChannelSet = FALSE;
        m_bHasActiveChannel = FALSE;
        return TRUE;
    }
    if (!LoadPicture(m_bmChannel, m_bmChannelMask, channelId, transparent, maskColor, x, y))
        return FALSE;
    if (activeId) {
        if (!LoadPicture(m_bmChannelActive, m_bmChannelActiveMask, activeId, transparent, maskColor, x, y)) {
            m_bmChannel.DeleteObject();
            m_bmChannelMask.DeleteObject();
            m_bChannelSet = FALSE;
            m_bHasActiveChannel = FALSE;
            return FALSE;
        }
        m_bHasActiveChannel = TRUE;
    } else {
        m_bHasActiveChannel = FALSE;
    }
    BITMAP info;
    m_bmChannel.GetBitmap(&info);
    m_nWidth = info.bmWidth;
    m_nHeight = info.bmHeight;
    SetWindowPos(nullptr, 0, 0, m_nWidth, m_nHeight, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(&m_rcControl);
    m_bChannelTransparent = transparent;
    m_bChannelSet = TRUE;
    if (CWnd* parent = GetParent()) {
        CRect rect;
        GetWindowRect(&rect);
        parent->ScreenToClient(&rect);
        parent->InvalidateRect(&rect, TRUE);
    }
    return TRUE;
}

BOOL CBitmapSlider::SetBitmapThumb(UINT thumbId, UINT activeId, BOOL transparent, COLORREF maskColor, int x,
                                   int y) {
    if (int(thumbId) == m_nLoadedThumb)
        return TRUE;
    if (thumbId == 0) {
        m_bmThumb.DeleteObject();
        m_bmThumbMask.DeleteObject();
        m_bmThumbActive.DeleteObject();
        m_bmThumbActiveMask.DeleteObject();
        m_bThumbSet = FALSE;
        m_bHasActiveThumb = FALSE;
        m_nLoadedThumb = -1;
        return TRUE;
    }
    auto fail = [&] {
        m_bmThumb.DeleteObject();
        m_bmThumbMask.DeleteObject();
        m_bThumbSet = FALSE;
        m_bHasActiveThumb = FALSE;
        m_nLoadedThumb = -1;
        return FALSE;
    };
    if (!LoadPicture(m_bmThumb, m_bmThumbMask, thumbId, transparent, maskColor, x, y))
        return fail();
    if (activeId) {
        if (!LoadPicture(m_bmThumbActive, m_bmThumbActiveMask, activeId, transparent, maskColor, x, y))
            return fail();
        m_bHasActiveThumb = TRUE;
    } else {
        m_bHasActiveThumb = FALSE;
    }
    BITMAP info;
    m_bmThumb.GetBitmap(&info);
    m_nThumbWidth = info.bmWidth;
    m_nThumbHeight = info.bmHeight;
    if (!m_bChannelSet) {
        GetClientRect(&m_rcControl);
        m_nWidth = m_rcControl.Width();
        m_nHeight = m_rcControl.Height();
    }
    m_bThumbTransparent = transparent;
    m_nLoadedThumb = int(thumbId);
    m_bThumbSet = TRUE;
    if (CWnd* parent = GetParent()) {
        CRect rect;
        GetWindowRect(&rect);
        parent->ScreenToClient(&rect);
        parent->InvalidateRect(&rect, TRUE);
    }
    return TRUE;
}

void CBitmapSlider::SetRange(int, int maximum, BOOL redraw) {
    m_nMin = 0;
    m_nMax = maximum;
    if (redraw)
        Invalidate(TRUE);
}

void CBitmapSlider::SetMargin(int left, int top, int right, int bottom) {
    m_nMarginLeft = left;
    m_nMarginTop = top;
    m_nMarginRight = right;
    m_nMarginBottom = bottom;
}

void CBitmapSlider::SetPos(int value) {
    switch (m_nValueKind) {
    case 10:
        m_nPos = m_nMax - value + 80;
        break;
    case 33:
        m_nPos = value;
        break;
    case 34:
        m_nPos = value - 20;
        break;
    default:
        m_nPos = m_nMax - value;
        break;
    }
    Invalidate(TRUE);
    UpdateWindow();
}

int CBitmapSlider::GetPos() const {
    switch (m_nValueKind) {
    case 10:
        return m_nMax - m_nPos + 80;
    case 33:
        return m_nPos;
    case 34:
        return m_nPos + 20;
    default:
        return m_nMax - m_nPos;
    }
}

void CBitmapSlider::SetPosByValue(int frequencyHz) {
    if (m_nValueKind == 1)
        m_nPos = m_nMax - FreqToIndex(frequencyHz);
    else if (m_nValueKind == 2)
        m_nPos = m_nMax + 192 - FreqToIndex(frequencyHz);
    m_nPos = std::clamp(m_nPos, m_nMin, std::max(m_nMin, m_nMax));
    Invalidate(TRUE);
}

void CBitmapSlider::Enable(BOOL enable) {
    m_bEnabled = enable;
    if (!enable && m_bDragging) {
        m_bDragging = FALSE;
        ::ReleaseCapture();
    }
    Invalidate(TRUE);
}

void CBitmapSlider::SetThumbAltBitmap(UINT id) {
    m_bThumbAlt = LoadPicture(m_bmThumbAlt, m_bmThumbAltMask, id, TRUE, kMaskFromPixel, 0, 0);
    Invalidate(TRUE);
}

void CBitmapSlider::SetFocusMark(BOOL focused) {
    if (focused == m_bFocused)
        return;
    m_bFocused = focused;
    Invalidate(TRUE);
}

CBitmapSlider::Axis CBitmapSlider::Primary() const {
    if (m_bVertical)
        return {m_nHeight, m_nMarginTop, m_nMarginBottom, m_nThumbHeight, m_nMarginLeft};
    return {m_nWidth, m_nMarginLeft, m_nMarginRight, m_nThumbWidth, m_nMarginTop};
}

int CBitmapSlider::Pixel(int pos) const {
    const Axis a = Primary();
    const double travel = a.length - a.marginStart - a.marginEnd - a.thumb;
    const int range = m_nMax - m_nMin;
    return a.marginStart + a.thumb / 2 + (range ? int(travel * (pos - m_nMin) / range) : 0);
}

int CBitmapSlider::PosFromPixel(int along) const {
    const Axis a = Primary();
    const int travel = a.length - a.marginStart - a.marginEnd - a.thumb;
    if (travel <= 0)
        return m_nMin;
    return int(m_nMin + double(along - a.marginStart - a.thumb / 2) * (m_nMax - m_nMin) / travel);
}

int CBitmapSlider::ClampCentre(int along) const {
    const Axis a = Primary();
    return std::clamp(along, a.marginStart + a.thumb / 2,
                      std::max(a.marginStart + a.thumb / 2, a.length - a.marginEnd - a.thumb / 2));
}

void CBitmapSlider::Report(UINT message) {
    if (CWnd* parent = GetParent())
        parent->PostMessage(message, GetDlgCtrlID(), m_nPos);
}

void CBitmapSlider::DrawPicture(CDC* dc, int along, int across, CBitmap& picture, CBitmap* mask, int srcAlong,
                                int extent) {
    if (extent <= 0 || !picture.GetSafeHandle())
        return;
    BITMAP info;
    picture.GetBitmap(&info);
    const CRect dest = m_bVertical ? CRect(across, along, across + info.bmWidth, along + extent)
                                   : CRect(along, across, along + extent, across + info.bmHeight);
    const CPoint src = m_bVertical ? CPoint(0, srcAlong) : CPoint(srcAlong, 0);
    CDC mem;
    mem.CreateCompatibleDC(dc);
    if (mask && mask->GetSafeHandle()) {
        CBitmap* old = mem.SelectObject(mask);
        const COLORREF oldBk = dc->SetBkColor(RGB(255, 255, 255));
        const COLORREF oldText = dc->SetTextColor(RGB(0, 0, 0));
        dc->BitBlt(dest.left, dest.top, dest.Width(), dest.Height(), &mem, src.x, src.y, SRCAND);
        dc->SetBkColor(oldBk);
        dc->SetTextColor(oldText);
        mem.SelectObject(&picture);
        dc->BitBlt(dest.left, dest.top, dest.Width(), dest.Height(), &mem, src.x, src.y, SRCPAINT);
        mem.SelectObject(old);
    } else {
        CBitmap* old = mem.SelectObject(&picture);
        dc->BitBlt(dest.left, dest.top, dest.Width(), dest.Height(), &mem, src.x, src.y, SRCCOPY);
        mem.SelectObject(old);
    }
}

void CBitmapSlider::OnPaint() {
    CPaintDC paint(this);
    CMemDC dc(&paint, &m_rcControl, m_bChannelTransparent);
    const Axis a = Primary();
    if (m_bChannelSet) {
        CBitmap* channelMask = m_bChannelTransparent ? &m_bmChannelMask : nullptr;
        if (m_bHasActiveChannel && m_bEnabled) {
            const int p = Pixel(m_nPos);
            DrawPicture(dc, p, 0, m_bmChannel, channelMask, p, a.length - p);
            DrawPicture(dc, 0, 0, m_bmChannelActive, m_bChannelTransparent ? &m_bmChannelActiveMask : nullptr,
                        0, p);
        } else {
            DrawPicture(dc, 0, 0, m_bmChannel, channelMask, 0, a.length);
        }
    }
    if (m_bThumbSet) {
        const int start = Pixel(m_nPos) - a.thumb / 2;
        if (!m_bEnabled && m_bThumbAlt) {
            DrawPicture(dc, start, a.across, m_bmThumbAlt, &m_bmThumbAltMask, 0, a.thumb);
        } else if (m_bHasActiveThumb && (m_bDragging || m_bFocused)) {
            DrawPicture(dc, start, a.across, m_bmThumbActive,
                        m_bThumbTransparent ? &m_bmThumbActiveMask : nullptr, 0, a.thumb);
        } else {
            DrawPicture(dc, start, a.across, m_bmThumb, m_bThumbTransparent ? &m_bmThumbMask : nullptr, 0,
                        a.thumb);
        }
    }
}

void CBitmapSlider::OnLButtonDown(UINT flags, CPoint point) {
    if (!m_bEnabled)
        return;
    SetCapture();
    SetFocus();
    m_bDragging = TRUE;
    const int centre = Pixel(m_nPos);
    const int along = Along(point);
    m_nDragOffset = std::abs(along - centre) <= Primary().thumb / 2 ? along - centre : 0;
    const int target = ClampCentre(along - m_nDragOffset);
    if (target != centre) {
        m_nPos = PosFromPixel(target) < m_nPos ? m_nPos - 1 : m_nPos + 1;
        m_nPos = std::clamp(m_nPos, m_nMin, m_nMax);
        m_bDragging = FALSE;
        m_bChangePending = TRUE;
    }
    SetTimer(kTrackTimer, 50);
    Invalidate(TRUE);
    // The static's own processing: with SS_NOTIFY the parent hears of the click.
    CStatic::OnLButtonDown(flags, point);
}

void CBitmapSlider::OnMouseMove(UINT flags, CPoint point) {
    if (m_bDragging) {
        const int target = ClampCentre(Along(point) - m_nDragOffset);
        if (target != Pixel(m_nPos)) {
            m_nPos = std::clamp(PosFromPixel(target), m_nMin, m_nMax);
            m_bChangePending = TRUE;
            Invalidate(TRUE);
        }
        CStatic::OnMouseMove(flags, point);
        return;
    }
    m_moveNotice.Moved(*this, flags, point);
}

void CBitmapSlider::OnLButtonUp(UINT, CPoint) {
    if (!m_bEnabled)
        return;
    ::ReleaseCapture();
    m_bDragging = FALSE;
    Invalidate(TRUE);
    Report(UM_SLIDER_POSITION);
    m_bChangePending = FALSE;
    KillTimer(kTrackTimer);
}

UINT CBitmapSlider::OnGetDlgCode() {
    return DLGC_WANTARROWS;
}

void CBitmapSlider::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    if (!m_bEnabled)
        return;
    int pos = m_nPos;
    switch (key) {
    case VK_LEFT:
    case VK_UP:
        pos -= 1;
        break;
    case VK_RIGHT:
    case VK_DOWN:
        pos += 1;
        break;
    case VK_HOME:
        pos = m_nMin;
        break;
    case VK_END:
        pos = m_nMax;
        break;
    case VK_PRIOR:
        pos -= m_nPage;
        break;
    case VK_NEXT:
        pos += m_nPage;
        break;
    default:
        CStatic::OnKeyDown(key, repeat, flags);
        return;
    }
    m_nPos = std::clamp(pos, m_nMin, m_nMax);
    Invalidate(TRUE);
    Report(UM_SLIDER_POSITION);
    CStatic::OnKeyDown(key, repeat, flags);
}

void CBitmapSlider::OnSetFocus(CWnd* old) {
    CStatic::OnSetFocus(old);
    if (m_pBuddy)
        m_pBuddy->SetHighlight(TRUE);
    m_bFocused = TRUE;
    Report(UM_SLIDER_TRACKING);
    Invalidate(TRUE);
}

void CBitmapSlider::OnKillFocus(CWnd* next) {
    CStatic::OnKillFocus(next);
    m_bFocused = FALSE;
    if (m_pBuddy)
        m_pBuddy->SetHighlight(FALSE);
    Invalidate(TRUE);
}

void CBitmapSlider::OnTimer(UINT_PTR id) {
    if (id == kTrackTimer && m_bChangePending) {
        Report(UM_SLIDER_TRACKING);
        m_bChangePending = FALSE;
    }
    CStatic::OnTimer(id);
}

BOOL CBitmapSlider::OnMouseWheel(UINT flags, short delta, CPoint point) {
    if (delta == -WHEEL_DELTA)
        m_nPos = std::clamp(m_nPos + 1, m_nMin, m_nMax);
    else if (delta == WHEEL_DELTA)
        m_nPos = std::clamp(m_nPos - 1, m_nMin, m_nMax);
    Invalidate(TRUE);
    Report(UM_SLIDER_POSITION);
    return CStatic::OnMouseWheel(flags, delta, point);
}

void CBitmapSlider::OnDestroy() {
    for (CBitmap* b :
         {&m_bmChannel, &m_bmChannelMask, &m_bmChannelActive, &m_bmChannelActiveMask, &m_bmThumb,
          &m_bmThumbMask, &m_bmThumbActive, &m_bmThumbActiveMask, &m_bmThumbAlt, &m_bmThumbAltMask})
        b->DeleteObject();
    CStatic::OnDestroy();
}

LRESULT CBitmapSlider::OnTakeFocus(WPARAM, LPARAM) {
    m_bFocused = TRUE;
    Invalidate(TRUE);
    return 0;
}
