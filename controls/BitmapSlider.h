#pragma once

// The vertical fader: a channel and a thumb from bitmap resources, each with
// an optional active picture and optionally transparent through a mask.
// Position 0 is at the top.  It reports movement to its parent with
// UM_SLIDER_TRACKING (every 50 ms while dragged, when it changed) and
// UM_SLIDER_POSITION (release, keys, wheel).

#include "controls/HandCursor.h"
#include "platform/win/Static.h"

class CNumEdit;

class CBitmapSlider : public CStatic {
public:
    CBitmapSlider() = default;

    BOOL SetBitmapChannel(UINT channelId, UINT activeId, BOOL transparent, COLORREF maskColor, int x, int y);
    BOOL SetBitmapThumb(UINT thumbId, UINT activeId, BOOL transparent, COLORREF maskColor, int x, int y);
    void SetRange(int first, int maximum, BOOL redraw = FALSE);
    void SetMargin(int left, int top, int right, int bottom);
    void SetValueKind(int kind) { m_nValueKind = kind; }
    void SetBuddy(CNumEdit* buddy) { m_pBuddy = buddy; }
    void EnableMoveNotify(BOOL enable) { m_bMoveNotify = enable; }

    void SetPos(int value);
    int GetPos() const;
    void SetPosByValue(int frequencyHz);
    void Enable(BOOL enable);
    void SetThumbAltBitmap(UINT id);
    void SetFocusMark(BOOL focused);

    int GetRawPos() const { return m_nPos; }
    int GetRangeMax() const { return m_nMax; }

    static constexpr UINT_PTR kTrackTimer = 5;
    static constexpr COLORREF kMaskFromPixel = 0xFF000000;

protected:
    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    UINT OnGetDlgCode();
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnSetFocus(CWnd* old);
    void OnKillFocus(CWnd* next);
    void OnTimer(UINT_PTR id);
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    BOOL OnSetCursor(CWnd*, UINT, UINT) { return m_hand.Show(); }
    void OnDestroy();
    LRESULT OnTakeFocus(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    int Pixel(int pos) const;
    int PosFromPixel(int y) const;
    int ClampCentre(int y) const;
    void Report(UINT message);
    static BOOL LoadPicture(CBitmap& picture, CBitmap& mask, UINT id, BOOL transparent, COLORREF maskColor,
                            int x, int y);
    void DrawPicture(CDC* dc, int x, int y, CBitmap& picture, CBitmap* mask, int srcY, int height);

    CNumEdit* m_pBuddy = nullptr;
    int m_nValueKind = 0;
    HandCursor m_hand;
    BOOL m_bMoveNotify = FALSE;
    CPoint m_ptLastMove{-1, -1};
    int m_nMax = 100;
    int m_nMin = 0;
    int m_nPos = 0;
    int m_nPage = 13;
    CRect m_rcControl;
    int m_nWidth = 0, m_nHeight = 0;
    int m_nThumbWidth = 0, m_nThumbHeight = 0;
    int m_nMarginLeft = 0, m_nMarginRight = 0, m_nMarginTop = 0, m_nMarginBottom = 0;
    int m_nDragOffset = 0;
    BOOL m_bChangePending = FALSE;
    BOOL m_bHasActiveChannel = FALSE, m_bHasActiveThumb = FALSE;
    BOOL m_bChannelTransparent = FALSE, m_bThumbTransparent = FALSE;
    BOOL m_bThumbSet = FALSE, m_bChannelSet = FALSE;
    BOOL m_bDragging = FALSE;
    BOOL m_bFocused = FALSE;
    CBitmap m_bmChannel, m_bmChannelMask, m_bmChannelActive, m_bmChannelActiveMask;
    CBitmap m_bmThumb, m_bmThumbMask, m_bmThumbActive, m_bmThumbActiveMask;
    int m_nLoadedThumb = -1;
    BOOL m_bEnabled = TRUE;
    BOOL m_bThumbAlt = FALSE;
    CBitmap m_bmThumbAlt, m_bmThumbAltMask;
};
