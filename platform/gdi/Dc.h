#pragma once

// Device contexts.  A DC draws on an image: a window's backing image (see
// platform/win) or the bitmap selected into a memory DC.  Logical
// coordinates map to the image by the window and viewport origins (MM_TEXT);
// the raster operations work on the RGB values of the pixels, with the
// platform's rules for monochrome bitmaps: a colour source becomes 1 (white)
// where it has the source DC's background colour, and a monochrome source
// takes the destination's text colour for 0 and its background colour for 1.

#include "platform/gdi/GdiObjects.h"

#include <QImage>
#include <QPainter>
#include <QRegion>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

struct TEXTMETRIC {
    LONG tmHeight = 0;
    LONG tmAscent = 0;
    LONG tmDescent = 0;
    LONG tmInternalLeading = 0;
    LONG tmExternalLeading = 0;
    LONG tmAveCharWidth = 0;
    LONG tmMaxCharWidth = 0;
    LONG tmWeight = 0;
};

inline constexpr DWORD SRCCOPY = 0x00CC0020;
inline constexpr DWORD SRCPAINT = 0x00EE0086;
inline constexpr DWORD SRCAND = 0x008800C6;
inline constexpr DWORD SRCINVERT = 0x00660046;
inline constexpr DWORD SRCERASE = 0x00440328;
inline constexpr DWORD NOTSRCCOPY = 0x00330008;
inline constexpr DWORD NOTSRCERASE = 0x001100A6;
inline constexpr DWORD MERGEPAINT = 0x00BB0226;
inline constexpr DWORD PATCOPY = 0x00F00021;
inline constexpr DWORD DSTINVERT = 0x00550009;
inline constexpr DWORD BLACKNESS = 0x00000042;
inline constexpr DWORD WHITENESS = 0x00FF0062;

inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

inline constexpr int BLACKONWHITE = 1;
inline constexpr int WHITEONBLACK = 2;
inline constexpr int COLORONCOLOR = 3;
inline constexpr int HALFTONE = 4;

inline constexpr int MM_TEXT = 1;

inline constexpr UINT DT_TOP = 0x0000;
inline constexpr UINT DT_LEFT = 0x0000;
inline constexpr UINT DT_CENTER = 0x0001;
inline constexpr UINT DT_RIGHT = 0x0002;
inline constexpr UINT DT_VCENTER = 0x0004;
inline constexpr UINT DT_BOTTOM = 0x0008;
inline constexpr UINT DT_WORDBREAK = 0x0010;
inline constexpr UINT DT_SINGLELINE = 0x0020;
inline constexpr UINT DT_EXPANDTABS = 0x0040;
inline constexpr UINT DT_NOCLIP = 0x0100;
inline constexpr UINT DT_CALCRECT = 0x0400;
inline constexpr UINT DT_NOPREFIX = 0x0800;
inline constexpr UINT DT_PATH_ELLIPSIS = 0x4000;
inline constexpr UINT DT_END_ELLIPSIS = 0x8000;
inline constexpr UINT DT_WORD_ELLIPSIS = 0x40000;

// DrawEdge: the two one-pixel rings of an edge and the sides drawn.
inline constexpr UINT BDR_RAISEDOUTER = 0x0001;
inline constexpr UINT BDR_SUNKENOUTER = 0x0002;
inline constexpr UINT BDR_RAISEDINNER = 0x0004;
inline constexpr UINT BDR_SUNKENINNER = 0x0008;
inline constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr UINT BF_LEFT = 0x0001;
inline constexpr UINT BF_TOP = 0x0002;
inline constexpr UINT BF_RIGHT = 0x0004;
inline constexpr UINT BF_BOTTOM = 0x0008;
inline constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;

inline constexpr UINT ETO_OPAQUE = 0x0002;
inline constexpr UINT ETO_CLIPPED = 0x0004;

inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int BITSPIXEL = 12;

namespace platform::gdi {

// A counted reference to a drawing object, for the states SaveDC keeps.
class ObjectRef {
public:
    ObjectRef() = default;
    explicit ObjectRef(ObjectData* o) : m_object(o) {
        if (o)
            o->AddRef();
    }
    ObjectRef(const ObjectRef& other) : ObjectRef(other.m_object) {}
    ObjectRef& operator=(const ObjectRef& other) {
        ObjectRef copy(other);
        std::swap(m_object, copy.m_object);
        return *this;
    }
    ~ObjectRef() {
        if (m_object)
            m_object->Release();
    }
    ObjectData* Get() const { return m_object; }

private:
    ObjectData* m_object = nullptr;
};

struct SavedDcState {
    ObjectRef bitmap, brush, pen, font;
    COLORREF textColor = 0;
    COLORREF bkColor = 0;
    int bkMode = 0;
    int stretchMode = 0;
    QPoint windowOrg, viewportOrg;
    SIZE windowExt{1, 1}, viewportExt{1, 1};
    int mapMode = 0;
    QPoint currentPos;
    std::optional<QRegion> clip;
};

struct DcData {
    DcData();
    ~DcData();
    DcData(const DcData&) = delete;
    DcData& operator=(const DcData&) = delete;

    QImage* Surface() const;
    void Select(ObjectData*& slot, ObjectData* object);

    QImage* windowSurface = nullptr; // a window's backing image
    BitmapData* bitmap = nullptr;    // memory DC: the selected bitmap (a reference)
    BrushData* brush = nullptr;
    PenData* pen = nullptr;
    FontData* font = nullptr;
    COLORREF textColor = 0;
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    int stretchMode = BLACKONWHITE;
    QPoint windowOrg;
    QPoint viewportOrg;
    SIZE windowExt{1, 1};
    SIZE viewportExt{1, 1};
    int mapMode = MM_TEXT;
    QPoint currentPos;               // logical
    std::optional<QRegion> baseClip; // device coordinates: a paint DC's update region
    std::optional<QRegion> clip;     // device coordinates: the selected clip region
    std::function<void()> onDrawn;   // a window DC tells its window to show the new pixels
    std::vector<SavedDcState> saved; // SaveDC's stack
};

} // namespace platform::gdi

using HDC = platform::gdi::DcData*;

class CDC {
public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    static CDC* FromHandle(HDC dc);
    BOOL Attach(HDC dc);
    HDC Detach();

    BOOL CreateCompatibleDC(CDC* dc);
    BOOL DeleteDC();
    BOOL IsPrinting() const { return FALSE; }
    bool IsMonochrome() const;
    int GetDeviceCaps(int index) const;

    // Objects.  Each returns the object selected before (a wrapper that the
    // caller does not delete).
    CBitmap* SelectObject(CBitmap* bitmap);
    CFont* SelectObject(CFont* font);
    CBrush* SelectObject(CBrush* brush);
    CPen* SelectObject(CPen* pen);
    CGdiObject* SelectObject(CGdiObject* object);
    int SelectObject(CRgn* region) { return SelectClipRgn(region); }
    HGDIOBJ SelectObject(HGDIOBJ object);
    CGdiObject* SelectStockObject(int which);
    CFont* GetCurrentFont() const;
    CBitmap* GetCurrentBitmap() const;

    // Attributes.
    COLORREF SetTextColor(COLORREF color);
    COLORREF GetTextColor() const { return m_hDC->textColor; }
    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const { return m_hDC->bkColor; }
    int SetBkMode(int mode);
    int GetBkMode() const { return m_hDC->bkMode; }
    int SetStretchBltMode(int mode);
    int GetStretchBltMode() const { return m_hDC->stretchMode; }
    int SetMapMode(int mode);
    int GetMapMode() const { return m_hDC->mapMode; }
    CPoint SetWindowOrg(int x, int y);
    CPoint SetWindowOrg(POINT p) { return SetWindowOrg(p.x, p.y); }
    CPoint GetWindowOrg() const;
    CPoint SetViewportOrg(int x, int y);
    CPoint SetViewportOrg(POINT p) { return SetViewportOrg(p.x, p.y); }
    CPoint GetViewportOrg() const;
    CPoint OffsetViewportOrg(int dx, int dy);
    CSize SetWindowExt(int cx, int cy);
    CSize SetWindowExt(SIZE s) { return SetWindowExt(s.cx, s.cy); }
    CSize GetWindowExt() const { return m_hDC->windowExt; }
    CSize SetViewportExt(int cx, int cy);
    CSize SetViewportExt(SIZE s) { return SetViewportExt(s.cx, s.cy); }
    CSize GetViewportExt() const { return m_hDC->viewportExt; }
    void LPtoDP(POINT* p, int count = 1) const;
    void DPtoLP(POINT* p, int count = 1) const;

    // The whole state (objects, colours, modes, origins, clip) on a stack:
    // SaveDC returns its new depth (0 on failure); RestoreDC(n) goes back to
    // the state saved as depth n, RestoreDC(-1) to the last one.
    int SaveDC();
    BOOL RestoreDC(int saved);

    // Clipping.
    int GetClipBox(RECT* rect) const;
    int SelectClipRgn(CRgn* region);
    int IntersectClipRect(int l, int t, int r, int b);
    int IntersectClipRect(const RECT* r) { return IntersectClipRect(r->left, r->top, r->right, r->bottom); }
    int ExcludeClipRect(int l, int t, int r, int b);
    int ExcludeClipRect(const RECT* r) { return ExcludeClipRect(r->left, r->top, r->right, r->bottom); }
    BOOL PtVisible(int x, int y) const;

    // Drawing.
    void FillSolidRect(const RECT* rect, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    void FillRect(const RECT* rect, CBrush* brush);
    void FrameRect(const RECT* rect, CBrush* brush);
    void Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
    // The system's 3-D edges in the scheme's colours (BDR_ and BF_ flags).
    BOOL DrawEdge(RECT* rect, UINT edge, UINT flags);
    BOOL Rectangle(int l, int t, int r, int b);
    BOOL Rectangle(const RECT* r) { return Rectangle(r->left, r->top, r->right, r->bottom); }
    BOOL RoundRect(int l, int t, int r, int b, int w, int h);
    BOOL Ellipse(int l, int t, int r, int b);
    BOOL Polygon(const POINT* points, int count);
    BOOL Polyline(const POINT* points, int count);
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT p) { return LineTo(p.x, p.y); }
    COLORREF GetPixel(int x, int y) const;
    COLORREF GetPixel(POINT p) const { return GetPixel(p.x, p.y); }
    COLORREF SetPixel(int x, int y, COLORREF color);
    BOOL PatBlt(int x, int y, int w, int h, DWORD rop);
    BOOL BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop);
    BOOL StretchBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh, DWORD rop);
    BOOL TransparentBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh,
                        UINT transparent);

    // Text.
    int DrawText(const CString& text, RECT* rect, UINT format);
    int DrawText(const char* text, int count, RECT* rect, UINT format);
    BOOL TextOut(int x, int y, const CString& text);
    BOOL ExtTextOut(int x, int y, UINT options, const RECT* rect, const CString& text,
                    const int* dx = nullptr);
    CSize GetTextExtent(const CString& text) const;
    BOOL GetTextMetrics(TEXTMETRIC* tm) const;

    HDC m_hDC = nullptr;
    HDC m_hAttribDC = nullptr;

protected:
    bool m_ownsDc = false; // made by CreateCompatibleDC: deleted with the object

private:
    template <typename F> void Paint(F&& draw);
    QPoint ToDevice(int x, int y) const;
    QRect ToDevice(const RECT& r) const;
    QRegion EffectiveClip() const;
    QFont CurrentQFont() const;
    void Blit(const QRect& dst, CDC* src, const QRect& srcRect, DWORD rop);
    void Drawn();
};

BOOL DeleteDC(HDC dc);
