#pragma once

// Drawing objects: bitmaps, brushes, pens, fonts and regions.  A handle points
// to a shared object; a DC that has an object selected keeps it alive, so
// deleting a selected object never leaves a DC with a dangling pointer.

#include "platform/sys/Color.h"
#include "platform/sys/Geometry.h"
#include "platform/sys/WinTypes.h"

#include <QFont>
#include <QImage>
#include <QRegion>

#include <atomic>
#include <cstdint>

using LONG = std::int32_t;

namespace platform::gdi {

struct ObjectData {
    enum class Kind { Bitmap, Brush, Pen, Font, Region };
    explicit ObjectData(Kind k) : kind(k) {}
    virtual ~ObjectData(); // forgets the wrappers FromHandle made for it
    const Kind kind;
    std::atomic<int> refs{1};
    bool stock = false; // never deleted
    void AddRef() { ++refs; }
    void Release() {
        if (!stock && --refs == 0)
            delete this;
    }
};

// Colour bitmaps are RGB32; monochrome ones hold only black (0) and white (1).
struct BitmapData final : ObjectData {
    BitmapData() : ObjectData(Kind::Bitmap) {}
    QImage image;
    bool mono = false;
};

inline constexpr int BS_SOLID = 0;
inline constexpr int BS_NULL = 1;
inline constexpr int BS_HOLLOW = BS_NULL;

struct BrushData final : ObjectData {
    BrushData() : ObjectData(Kind::Brush) {}
    int style = BS_SOLID;
    COLORREF color = 0;
};

inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;
inline constexpr int PS_DOT = 2;
inline constexpr int PS_NULL = 5;

struct PenData final : ObjectData {
    PenData() : ObjectData(Kind::Pen) {}
    int style = PS_SOLID;
    int width = 1;
    COLORREF color = 0;
};

struct FontData final : ObjectData {
    FontData() : ObjectData(Kind::Font) {}
    QFont font;
    int height = 0; // as created: > 0 cell height, < 0 em height
    int weight = 400;
    CString face;
};

struct RegionData final : ObjectData {
    RegionData() : ObjectData(Kind::Region) {}
    QRegion region;
};

// Makes the Qt font of a logical font: "Arial" and the classic dialog faces
// resolve to Liberation Sans, a positive height is the cell height (ascent
// plus descent), a negative one the em height.
QFont MakeFont(const CString& face, int height, int weight, bool italic = false, bool underline = false);

// The wrapper FromHandle hands out for `object`: made once by `make`, never
// owning the object, dropped when the object goes.
void* Wrapper(ObjectData* object, void* (*make)(ObjectData*), void (*drop)(void*));

QColor ToQColor(COLORREF c);
COLORREF FromQColor(QColor c);

} // namespace platform::gdi

using HGDIOBJ = platform::gdi::ObjectData*;
using HBITMAP = platform::gdi::BitmapData*;
using HBRUSH = platform::gdi::BrushData*;
using HPEN = platform::gdi::PenData*;
using HFONT = platform::gdi::FontData*;
using HRGN = platform::gdi::RegionData*;

using platform::gdi::BS_HOLLOW;
using platform::gdi::BS_NULL;
using platform::gdi::BS_SOLID;
using platform::gdi::PS_DASH;
using platform::gdi::PS_DOT;
using platform::gdi::PS_NULL;
using platform::gdi::PS_SOLID;

inline constexpr int FW_NORMAL = 400;
inline constexpr int FW_BOLD = 700;
inline constexpr BYTE ANSI_CHARSET = 0;
inline constexpr BYTE DEFAULT_CHARSET = 1;
inline constexpr BYTE OUT_DEFAULT_PRECIS = 0;
inline constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
inline constexpr BYTE DEFAULT_QUALITY = 0;
inline constexpr BYTE DEFAULT_PITCH = 0;
inline constexpr BYTE FF_SWISS = 0x20;

struct LOGFONT {
    LONG lfHeight = 0;
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = 0;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 0;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    CString lfFaceName;
};

// Stock objects (never deleted).
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int HOLLOW_BRUSH = NULL_BRUSH;
inline constexpr int WHITE_PEN = 6;
inline constexpr int BLACK_PEN = 7;
inline constexpr int NULL_PEN = 8;
inline constexpr int SYSTEM_FONT = 13;
inline constexpr int DEFAULT_GUI_FONT = 17;
HGDIOBJ GetStockObject(int which);

// The classic default colour scheme, fixed.
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_3DFACE = COLOR_BTNFACE;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
COLORREF GetSysColor(int index);
HBRUSH GetSysColorBrush(int index);

BOOL DeleteObject(HGDIOBJ object);

class CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    BOOL DeleteObject();
    BOOL Attach(HGDIOBJ object);
    HGDIOBJ Detach();
    operator HGDIOBJ() const { return m_hObject; }

    HGDIOBJ m_hObject = nullptr;
};

struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0;
    WORD bmPlanes = 1;
    WORD bmBitsPixel = 32;
    void* bmBits = nullptr;
};

class CDC;

class CBitmap final : public CGdiObject {
public:
    // From the program's bitmap resources; FALSE when there is none.
    BOOL LoadBitmap(UINT resourceId);
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    int GetBitmap(BITMAP* out) const;
    CSize GetBitmapDimension() const;
    HBITMAP GetHandle() const { return static_cast<HBITMAP>(m_hObject); }
    operator HBITMAP() const { return GetHandle(); }
    static CBitmap* FromHandle(HBITMAP bitmap);
};

class CBrush final : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    BOOL CreateSolidBrush(COLORREF color);
    BOOL CreateStockObject(int which);
    HBRUSH GetHandle() const { return static_cast<HBRUSH>(m_hObject); }
    operator HBRUSH() const { return GetHandle(); }
    static CBrush* FromHandle(HBRUSH brush);
};

class CPen final : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    BOOL CreatePen(int style, int width, COLORREF color);
    HPEN GetHandle() const { return static_cast<HPEN>(m_hObject); }
    operator HPEN() const { return GetHandle(); }
};

class CFont final : public CGdiObject {
public:
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                    BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                    BYTE quality, BYTE pitchAndFamily, const char* face);
    BOOL CreateFontIndirect(const LOGFONT* logFont);
    // Height in tenths of a point at 96 DPI.
    BOOL CreatePointFont(int pointSize10, const char* face);
    int GetLogFont(LOGFONT* out) const;
    HFONT GetHandle() const { return static_cast<HFONT>(m_hObject); }
    operator HFONT() const { return GetHandle(); }
    static CFont* FromHandle(HFONT font);
};

inline constexpr int RGN_AND = 1;
inline constexpr int RGN_OR = 2;
inline constexpr int RGN_XOR = 3;
inline constexpr int RGN_DIFF = 4;
inline constexpr int RGN_COPY = 5;
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;
inline constexpr int COMPLEXREGION = 3;
inline constexpr int RGN_ERROR = 0;

class CRgn final : public CGdiObject {
public:
    BOOL CreateRectRgn(int l, int t, int r, int b);
    BOOL CreateRectRgnIndirect(const RECT* rect) {
        return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
    }
    BOOL CreateEllipticRgn(int l, int t, int r, int b);
    int CombineRgn(const CRgn* a, const CRgn* b, int mode);
    BOOL PtInRegion(int x, int y) const;
    int GetRgnBox(RECT* out) const;
    int OffsetRgn(int dx, int dy);
    HRGN GetHandle() const { return static_cast<HRGN>(m_hObject); }
    operator HRGN() const { return GetHandle(); }
};
