#pragma once

// A push or check button drawn from PNG resources over whatever its parent
// shows behind it, so irregular, partly transparent buttons can sit on a
// skin picture.  Every state is composed once, at the first paint, into a
// cached memory DC over a copy of the parent's pixels under the button;
// later paints only copy the cached picture of the current state.  A state
// without a picture of its own caches the state composed before it
// (unchecked normal, hover, pressed; checked normal, hover, pressed; disabled
// unchecked, checked), or the parent's background when none had a picture.
// The background is captured once: the button must not move over another
// background afterwards.

#include "controls/HandCursor.h"
#include "controls/PngResImage.h"
#include "platform/win/Button.h"

#include <memory>

class CBtnPng : public CButton {
public:
    CBtnPng() = default;
    ~CBtnPng() override;

    // Sizes the button to the normal picture and raises it above its siblings.
    void SetImages(UINT normal, UINT hover, UINT pressed);
    void SetCheckedImages(UINT normal, UINT hover, UINT pressed);
    // The second-language set (normal, hover, pressed, checked normal,
    // checked hover, checked pressed), shown while the Chinese interface is on.
    void SetAllImages(UINT normal, UINT hover, UINT pressed, UINT checkedNormal, UINT checkedHover,
                      UINT checkedPressed);
    void SetChecked(BOOL checked);
    BOOL GetChecked() const { return m_bChecked; }
    void SetTag(int tag) { m_nTag = tag; }
    int GetTag() const { return m_nTag; }
    // Partner buttons whose hover look follows this one (none allowed).
    void SetBuddies(CBtnPng* first, CBtnPng* second);
    void Refresh() { Invalidate(TRUE); }
    void EnableMoveNotify(BOOL enable) { m_bMoveNotify = enable; }
    virtual void ShowButton(int show);

    void DrawItem(LPDRAWITEMSTRUCT dis) override;

protected:
    void PreSubclassWindow() override;
    HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    void OnMouseMove(UINT flags, CPoint point);
    LRESULT OnMouseHoverMsg(WPARAM, LPARAM);
    LRESULT OnMouseLeaveMsg(WPARAM, LPARAM);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    BOOL OnSetCursor(CWnd*, UINT, UINT) { return m_hand.Show(); }
    DECLARE_MESSAGE_MAP()

private:
    // The cache: the background, the six states, the six second-language
    // states and the two disabled states.
    enum CacheIndex {
        kBackground = 0,
        kStates = 1,
        kLangStates = 7,
        kDisabledUnchecked = 13,
        kDisabledChecked = 14,
        kCacheSize = 15
    };
    struct CacheEntry {
        CDC dc;
        CBitmap bitmap;
        CBitmap* old = nullptr;
    };

    CSize PictureSize() const;
    void BuildStateCache(CDC* dc);
    void ComposeState(CDC* dc, CacheEntry& entry, CPngResImage* image);
    void SetHoverLook(BOOL hover);
    static std::unique_ptr<CPngResImage> LoadImage(UINT id);

    std::unique_ptr<CPngResImage> m_pImages[6];
    std::unique_ptr<CPngResImage> m_pDisabledImages[2];
    std::unique_ptr<CPngResImage> m_pLangImages[6];
    BOOL m_bHover = FALSE;
    BOOL m_bPressed = FALSE;
    BOOL m_bChecked = FALSE;
    int m_nKind = 0;
    LPDRAWITEMSTRUCT m_pDrawItem = nullptr;
    HandCursor m_hand;
    CacheEntry m_cache[kCacheSize];
    BOOL m_bLangImages = FALSE;
    CDC* m_pCurrent = nullptr;
    int m_nImageHeight = 0;
    int m_nImageWidth = 0;
    int m_nTag = -1;
    CBtnPng* m_pBuddies[2] = {nullptr, nullptr};
    BOOL m_bMoveNotify = FALSE;
    CPoint m_ptLastMove{-1, -1};
};
