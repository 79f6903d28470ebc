#pragma once

// The fader: a channel and a thumb from bitmap resources, each with an
// optional active picture and optionally transparent through a mask.  The
// thumb travels down (vertical, the default; position 0 at the top) or
// right (horizontal; position 0 at the left) between the margins.  It also
// mirrors a filter: the filter's frequency or dragged gain moves it.  It reports movement to its parent with
// UM_SLIDER_TRACKING (every 50 ms while dragged, when it changed) and
// UM_SLIDER_POSITION (release, keys, wheel).

#include "controls/HandCursor.h"
#include "controls/MoveNotice.h"
#include "model/FilterSliderLink.h"
#include "platform/win/Static.h"

class CNumEdit;

class CBitmapSlider : public CStatic, public FilterSliderLink {
public:
    CBitmapSlider() = default;

    BOOL SetBitmapChannel(UINT channelId, UINT activeId, BOOL transparent, COLORREF maskColor, int x, int y);
    BOOL SetBitmapThumb(UINT thumbId, UINT activeId, BOOL transparent, COLORREF maskColor, int x, int y);
    void SetRange(int first, int maximum, BOOL redraw = FALSE);
    void SetMargin(int left, int top, int right, int bottom);
    void SetValueKind(int kind) { m_nValueKind = kind; }
    void SetBuddy(CNumEdit* buddy) { m_pBuddy = buddy; }
    void EnableMoveNotify(BOOL enable) { m_moveNotice.Enable(enable); }

    void SetPos(int value);
    int GetPos() const;
    void SetPosByValue(int frequencyHz);
    void Enable(BOOL enable);
    void SetThumbAltBitmap(UINT id);
    void SetFocusMark(BOOL focused);
    // Non-zero: vertical; 0: horizontal.  Set before the first paint; it
    // does not repaint.
    void SetVerticalDrag(BOOL vertical) { m_bVertical = vertical; }

    void OnFilterFrequencySet(int hz) override { SetPosByValue(hz); }
    void OnFilterGainDragged(int gainIndex) override { SetPos(gainIndex); }

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
    // The thumb's travel axis: its length, the margins at its two ends, the
    // thumb's extent along it, and the margin across it where the thumb sits.
    struct Axis {
        int length;
        int marginStart;
        int marginEnd;
        int thumb;
        int across;
    };
    Axis Primary() const;
    int Along(CPoint point) const { return m_bVertical ? point.y : point.x; }
    int Pixel(int pos) const;
    int PosFromPixel(int y) const;
    int ClampCentre(int y) const;
    void Report(UINT message);
    static BOOL LoadPicture(CBitmap& picture, CBitmap& mask, UINT id, BOOL transparent, COLORREF maskColor,
                            int x, int y);
    // Draws `extent` pixels of the picture along the axis from `srcAlong`,
    // its whole extent across, at `along`/`across`.
    void DrawPicture(CDC* dc, int along, int across, CBitmap& picture, CBitmap* mask, int srcAlong,
                     int extent);

    CNumEdit* m_pBuddy = nullptr;
    int m_nValueKind = 0;
    HandCursor m_hand;
    MoveNotice m_moveNotice;
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
    BOOL m_bVertical = TRUE;
};
