#include "platform/gdi/GdiObjects.h"

#include "platform/gdi/Dc.h"
#include "platform/res/Resources.h"

#include <QFontMetrics>
#include <QPainterPath>

#include <cmath>
#include <map>
#include <mutex>

namespace platform::gdi {

QColor ToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

COLORREF FromQColor(QColor c) {
    return RGB(c.red(), c.green(), c.blue());
}

QFont MakeFont(const CString& face, int height, int weight, bool italic, bool underline) {
    QString family = QString::fromStdString(face);
    if (family.isEmpty() || family.compare("Arial", Qt::CaseInsensitive) == 0 ||
        family.compare("MS Sans Serif", Qt::CaseInsensitive) == 0 ||
        family.compare("MS Shell Dlg", Qt::CaseInsensitive) == 0 ||
        family.compare("MS Shell Dlg 2", Qt::CaseInsensitive) == 0 ||
        family.compare("System", Qt::CaseInsensitive) == 0)
        family = "Liberation Sans";
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setItalic(italic);
    font.setUnderline(underline);
    const int w = weight <= 0 ? 400 : std::min(weight, 1000);
    font.setWeight(QFont::Weight(w));
    int px = height == 0 ? 13 : std::abs(height);
    if (height > 0) {
        // A cell height: find the em size whose ascent + descent is the cell.
        QFont probe(font);
        probe.setPixelSize(100);
        QFontMetricsF m(probe);
        const double cell = m.ascent() + m.descent();
        px = std::max(1, int(std::lround(height * 100.0 / cell)));
        for (int i = 0; i < 3; ++i) {
            probe.setPixelSize(px);
            const int h = QFontMetrics(probe).height();
            if (h > height && px > 1)
                --px;
            else if (h < height)
                ++px;
            else
                break;
        }
    }
    font.setPixelSize(std::max(1, px));
    return font;
}

namespace {
struct WrapperEntry {
    void* wrapper;
    void (*drop)(void*);
};
std::mutex& WrapperMutex() {
    static std::mutex m;
    return m;
}
std::map<ObjectData*, WrapperEntry>& Wrappers() {
    static auto* map = new std::map<ObjectData*, WrapperEntry>;
    return *map;
}
} // namespace

ObjectData::~ObjectData() {
    WrapperEntry entry{nullptr, nullptr};
    {
        std::lock_guard lock(WrapperMutex());
        auto it = Wrappers().find(this);
        if (it == Wrappers().end())
            return;
        entry = it->second;
        Wrappers().erase(it);
    }
    entry.drop(entry.wrapper);
}

void* Wrapper(ObjectData* object, void* (*make)(ObjectData*), void (*drop)(void*)) {
    if (!object)
        return nullptr;
    std::lock_guard lock(WrapperMutex());
    auto& e = Wrappers()[object];
    if (!e.wrapper)
        e = {make(object), drop};
    return e.wrapper;
}

} // namespace platform::gdi

using namespace platform::gdi;

namespace {

BrushData* MakeStockBrush(int style, COLORREF color) {
    auto* b = new BrushData;
    b->stock = true;
    b->style = style;
    b->color = color;
    return b;
}

PenData* MakeStockPen(int style, COLORREF color) {
    auto* p = new PenData;
    p->stock = true;
    p->style = style;
    p->color = color;
    return p;
}

} // namespace

HGDIOBJ GetStockObject(int which) {
    static BrushData* white = MakeStockBrush(BS_SOLID, RGB(255, 255, 255));
    static BrushData* black = MakeStockBrush(BS_SOLID, RGB(0, 0, 0));
    static BrushData* hollow = MakeStockBrush(BS_NULL, 0);
    static PenData* whitePen = MakeStockPen(PS_SOLID, RGB(255, 255, 255));
    static PenData* blackPen = MakeStockPen(PS_SOLID, 0);
    static PenData* nullPen = MakeStockPen(PS_NULL, 0);
    static FontData* guiFont = [] {
        auto* f = new FontData;
        f->stock = true;
        f->height = -11;
        f->face = "MS Shell Dlg";
        f->font = MakeFont(f->face, f->height, 400);
        return f;
    }();
    // The system font of the classic scheme: a fixed bold face of cell height 16.
    static FontData* systemFont = [] {
        auto* f = new FontData;
        f->stock = true;
        f->height = 16;
        f->weight = FW_BOLD;
        f->face = "System";
        f->font = MakeFont(f->face, f->height, f->weight);
        return f;
    }();
    switch (which) {
    case SYSTEM_FONT:
        return systemFont;
    case WHITE_BRUSH:
        return white;
    case BLACK_BRUSH:
        return black;
    case NULL_BRUSH:
        return hollow;
    case WHITE_PEN:
        return whitePen;
    case BLACK_PEN:
        return blackPen;
    case NULL_PEN:
        return nullPen;
    case DEFAULT_GUI_FONT:
        return guiFont;
    default:
        return nullptr;
    }
}

COLORREF GetSysColor(int index) {
    switch (index) {
    case COLOR_WINDOW:
        return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT:
    case COLOR_BTNTEXT:
        return RGB(0, 0, 0);
    case COLOR_HIGHLIGHT:
        return RGB(10, 36, 106);
    case COLOR_HIGHLIGHTTEXT:
        return RGB(255, 255, 255);
    case COLOR_BTNFACE:
        return RGB(212, 208, 200);
    case COLOR_BTNSHADOW:
        return RGB(128, 128, 128);
    case COLOR_GRAYTEXT:
        return RGB(128, 128, 128);
    case COLOR_BTNHIGHLIGHT:
        return RGB(255, 255, 255);
    case COLOR_3DDKSHADOW:
        return RGB(64, 64, 64);
    case COLOR_3DLIGHT:
        return RGB(212, 208, 200);
    default:
        return RGB(192, 192, 192);
    }
}

HBRUSH GetSysColorBrush(int index) {
    // Stock objects live as long as the process, like those of
    // GetStockObject: the table is never destroyed, so no handle handed out
    // dangles during exit and none is lost.
    static std::mutex mutex;
    static auto* brushes = new std::map<int, BrushData*>;
    std::lock_guard lock(mutex);
    auto& b = (*brushes)[index];
    if (!b)
        b = MakeStockBrush(BS_SOLID, GetSysColor(index));
    return b;
}

BOOL DeleteObject(HGDIOBJ object) {
    if (!object || object->stock)
        return FALSE;
    object->Release();
    return TRUE;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject)
        return FALSE;
    ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return TRUE;
}

BOOL CGdiObject::Attach(HGDIOBJ object) {
    if (m_hObject || !object)
        return FALSE;
    m_hObject = object;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    return h;
}

namespace {

// Wrappers handed out by FromHandle never own the object; they go with it.
template <typename W> W* PermanentWrapper(ObjectData* handle) {
    return static_cast<W*>(platform::gdi::Wrapper(
        handle,
        [](ObjectData* o) -> void* {
            auto* w = new W;
            w->m_hObject = o;
            return w;
        },
        [](void* w) {
            auto* typed = static_cast<W*>(w);
            typed->m_hObject = nullptr;
            delete typed;
        }));
}

} // namespace

BOOL CBitmap::LoadBitmap(UINT resourceId) {
    DeleteObject();
    auto image = platform::res::Provider().Bitmap(resourceId);
    if (!image || image->isNull())
        return FALSE;
    auto* b = new BitmapData;
    b->image = image->convertToFormat(QImage::Format_RGB32);
    m_hObject = b;
    return TRUE;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
    DeleteObject();
    auto* b = new BitmapData;
    b->mono = dc && dc->IsMonochrome();
    b->image = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    b->image.fill(b->mono ? Qt::white : Qt::black);
    m_hObject = b;
    return TRUE;
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT, UINT bitsPerPixel, const void* bits) {
    DeleteObject();
    auto* b = new BitmapData;
    b->mono = bitsPerPixel == 1;
    b->image = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    b->image.fill(Qt::black);
    if (bits && b->mono) {
        // Rows padded to 16 bits, the most significant bit first.
        const auto* p = static_cast<const BYTE*>(bits);
        const int stride = ((width + 15) / 16) * 2;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (p[y * stride + x / 8] & (0x80 >> (x % 8)))
                    b->image.setPixel(x, y, 0xFFFFFFFF);
    }
    m_hObject = b;
    return TRUE;
}

int CBitmap::GetBitmap(BITMAP* out) const {
    if (!m_hObject)
        return 0;
    const auto* b = GetHandle();
    *out = BITMAP{};
    out->bmWidth = b->image.width();
    out->bmHeight = b->image.height();
    out->bmBitsPixel = b->mono ? 1 : 32;
    out->bmWidthBytes = b->mono ? ((out->bmWidth + 15) / 16) * 2 : out->bmWidth * 4;
    return int(sizeof(BITMAP));
}

CSize CBitmap::GetBitmapDimension() const {
    return m_hObject ? CSize(GetHandle()->image.width(), GetHandle()->image.height()) : CSize();
}

CBitmap* CBitmap::FromHandle(HBITMAP bitmap) {
    return PermanentWrapper<CBitmap>(bitmap);
}

BOOL CBrush::CreateSolidBrush(COLORREF color) {
    DeleteObject();
    auto* b = new BrushData;
    b->color = color;
    m_hObject = b;
    return TRUE;
}

BOOL CBrush::CreateStockObject(int which) {
    DeleteObject();
    m_hObject = GetStockObject(which);
    return m_hObject != nullptr;
}

CBrush* CBrush::FromHandle(HBRUSH brush) {
    return PermanentWrapper<CBrush>(brush);
}

BOOL CPen::CreatePen(int style, int width, COLORREF color) {
    DeleteObject();
    auto* p = new PenData;
    p->style = style;
    p->width = std::max(width, 1);
    p->color = color;
    m_hObject = p;
    return TRUE;
}

BOOL CFont::CreateFont(int height, int, int, int, int weight, BYTE italic, BYTE underline, BYTE, BYTE, BYTE,
                       BYTE, BYTE, BYTE, const char* face) {
    DeleteObject();
    auto* f = new FontData;
    f->height = height;
    f->weight = weight;
    f->face = face ? face : "";
    f->font = MakeFont(f->face, height, weight, italic != 0, underline != 0);
    m_hObject = f;
    return TRUE;
}

BOOL CFont::CreateFontIndirect(const LOGFONT* lf) {
    return CreateFont(lf->lfHeight, lf->lfWidth, 0, 0, lf->lfWeight, lf->lfItalic, lf->lfUnderline,
                      lf->lfStrikeOut, lf->lfCharSet, 0, 0, 0, lf->lfPitchAndFamily, lf->lfFaceName.c_str());
}

BOOL CFont::CreatePointFont(int pointSize10, const char* face) {
    const int px = int(std::lround(pointSize10 * 96.0 / 720.0));
    return CreateFont(-px, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
}

int CFont::GetLogFont(LOGFONT* out) const {
    if (!m_hObject)
        return 0;
    const auto* f = GetHandle();
    *out = LOGFONT{};
    out->lfHeight = f->height;
    out->lfWeight = f->weight;
    out->lfItalic = f->font.italic();
    out->lfUnderline = f->font.underline();
    out->lfFaceName = f->face;
    return int(sizeof(LOGFONT));
}

CFont* CFont::FromHandle(HFONT font) {
    return PermanentWrapper<CFont>(font);
}

BOOL CRgn::CreateRectRgn(int l, int t, int r, int b) {
    DeleteObject();
    auto* g = new RegionData;
    g->region = QRegion(QRect(QPoint(l, t), QPoint(r - 1, b - 1)));
    m_hObject = g;
    return TRUE;
}

BOOL CRgn::CreateEllipticRgn(int l, int t, int r, int b) {
    DeleteObject();
    auto* g = new RegionData;
    g->region = QRegion(QRect(QPoint(l, t), QPoint(r - 1, b - 1)), QRegion::Ellipse);
    m_hObject = g;
    return TRUE;
}

namespace {
int RegionKind(const QRegion& r) {
    if (r.isEmpty())
        return NULLREGION;
    return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}
} // namespace

int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode) {
    if (!m_hObject)
        CreateRectRgn(0, 0, 0, 0);
    const QRegion ra = a && a->m_hObject ? a->GetHandle()->region : QRegion();
    const QRegion rb = b && b->m_hObject ? b->GetHandle()->region : QRegion();
    QRegion& out = GetHandle()->region;
    switch (mode) {
    case RGN_AND:
        out = ra.intersected(rb);
        break;
    case RGN_OR:
        out = ra.united(rb);
        break;
    case RGN_XOR:
        out = ra.xored(rb);
        break;
    case RGN_DIFF:
        out = ra.subtracted(rb);
        break;
    default:
        out = ra;
        break;
    }
    return RegionKind(out);
}

BOOL CRgn::PtInRegion(int x, int y) const {
    return m_hObject && GetHandle()->region.contains(QPoint(x, y));
}

int CRgn::GetRgnBox(RECT* out) const {
    if (!m_hObject)
        return RGN_ERROR;
    const QRect r = GetHandle()->region.boundingRect();
    *out = r.isEmpty() ? RECT{} : RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
    return RegionKind(GetHandle()->region);
}

int CRgn::OffsetRgn(int dx, int dy) {
    if (!m_hObject)
        return RGN_ERROR;
    GetHandle()->region.translate(dx, dy);
    return RegionKind(GetHandle()->region);
}
