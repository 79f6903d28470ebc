#include "platform/gdi/Dc.h"

#include <QFontMetrics>
#include <QPainterPath>

#include <map>
#include <mutex>
#include <utility>

using namespace platform::gdi;

namespace platform::gdi {

DcData::DcData() {
    brush = static_cast<BrushData*>(GetStockObject(WHITE_BRUSH));
    pen = static_cast<PenData*>(GetStockObject(BLACK_PEN));
    font = static_cast<FontData*>(GetStockObject(DEFAULT_GUI_FONT));
}

DcData::~DcData() {
    for (ObjectData* o : {static_cast<ObjectData*>(bitmap), static_cast<ObjectData*>(brush),
                          static_cast<ObjectData*>(pen), static_cast<ObjectData*>(font)})
        if (o)
            o->Release();
}

QImage* DcData::Surface() const {
    if (windowSurface)
        return windowSurface;
    return bitmap ? &bitmap->image : nullptr;
}

void DcData::Select(ObjectData*& slot, ObjectData* object) {
    object->AddRef();
    if (slot)
        slot->Release();
    slot = object;
}

} // namespace platform::gdi

namespace {

// Every memory DC starts with the same stock 1 x 1 monochrome bitmap.
BitmapData* NewDefaultBitmap() {
    static BitmapData* stock = [] {
        auto* b = new BitmapData;
        b->stock = true;
        b->mono = true;
        b->image = QImage(1, 1, QImage::Format_RGB32);
        b->image.fill(Qt::black);
        return b;
    }();
    return stock;
}

inline QRgb ToRgb(COLORREF c) {
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}
inline COLORREF ToColorRef(QRgb c) {
    return RGB(qRed(c), qGreen(c), qBlue(c));
}

QString ToQString(const CString& s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// "&&" shows one ampersand; a single "&" marks a mnemonic and is not shown.
QString StripPrefix(const QString& s) {
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == '&') {
            if (i + 1 < s.size() && s[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += s[i];
    }
    return out;
}

QRect AlignedRect(int flags, QSize size, const QRect& box) {
    int x = box.left();
    if (flags & Qt::AlignHCenter)
        x = box.left() + (box.width() - size.width()) / 2;
    else if (flags & Qt::AlignRight)
        x = box.right() + 1 - size.width();
    int y = box.top();
    if (flags & Qt::AlignVCenter)
        y = box.top() + (box.height() - size.height()) / 2;
    else if (flags & Qt::AlignBottom)
        y = box.bottom() + 1 - size.height();
    return QRect(QPoint(x, y), size);
}

std::mutex& WrapperMutex() {
    static std::mutex m;
    return m;
}

} // namespace

CDC::~CDC() {
    if (m_ownsDc)
        DeleteDC();
}

CDC* CDC::FromHandle(HDC dc) {
    if (!dc)
        return nullptr;
    static auto* wrappers = new std::map<HDC, CDC*>;
    std::lock_guard lock(WrapperMutex());
    auto& w = (*wrappers)[dc];
    if (!w)
        w = new CDC;
    w->m_hDC = w->m_hAttribDC = dc;
    return w;
}

BOOL CDC::Attach(HDC dc) {
    if (m_hDC || !dc)
        return FALSE;
    m_hDC = m_hAttribDC = dc;
    return TRUE;
}

HDC CDC::Detach() {
    HDC dc = m_hDC;
    m_hDC = m_hAttribDC = nullptr;
    m_ownsDc = false;
    return dc;
}

BOOL CDC::CreateCompatibleDC(CDC*) {
    if (m_hDC)
        return FALSE;
    m_hDC = m_hAttribDC = new DcData;
    m_hDC->bitmap = NewDefaultBitmap();
    m_ownsDc = true;
    return TRUE;
}

BOOL CDC::DeleteDC() {
    if (!m_hDC)
        return FALSE;
    delete m_hDC;
    m_hDC = m_hAttribDC = nullptr;
    m_ownsDc = false;
    return TRUE;
}

BOOL DeleteDC(HDC dc) {
    delete dc;
    return TRUE;
}

bool CDC::IsMonochrome() const {
    return m_hDC && !m_hDC->windowSurface && m_hDC->bitmap && m_hDC->bitmap->mono;
}

int CDC::GetDeviceCaps(int index) const {
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    case BITSPIXEL:
        return 32;
    case HORZRES:
        return 1920;
    case VERTRES:
        return 1080;
    default:
        return 0;
    }
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    return CBitmap::FromHandle(
        static_cast<HBITMAP>(SelectObject(HGDIOBJ(bitmap ? bitmap->GetHandle() : nullptr))));
}
CFont* CDC::SelectObject(CFont* font) {
    return CFont::FromHandle(static_cast<HFONT>(SelectObject(HGDIOBJ(font ? font->GetHandle() : nullptr))));
}
CBrush* CDC::SelectObject(CBrush* brush) {
    return CBrush::FromHandle(
        static_cast<HBRUSH>(SelectObject(HGDIOBJ(brush ? brush->GetHandle() : nullptr))));
}
CPen* CDC::SelectObject(CPen* pen) {
    HGDIOBJ old = SelectObject(HGDIOBJ(pen ? pen->GetHandle() : nullptr));
    return static_cast<CPen*>(platform::gdi::Wrapper(
        old,
        [](ObjectData* o) -> void* {
            auto* w = new CPen;
            w->m_hObject = o;
            return w;
        },
        [](void* w) {
            auto* typed = static_cast<CPen*>(w);
            typed->m_hObject = nullptr;
            delete typed;
        }));
}

CGdiObject* CDC::SelectObject(CGdiObject* object) {
    if (!object || !object->m_hObject)
        return nullptr;
    switch (object->m_hObject->kind) {
    case ObjectData::Kind::Bitmap:
        return CBitmap::FromHandle(static_cast<HBITMAP>(SelectObject(object->m_hObject)));
    case ObjectData::Kind::Font:
        return CFont::FromHandle(static_cast<HFONT>(SelectObject(object->m_hObject)));
    case ObjectData::Kind::Brush:
        return CBrush::FromHandle(static_cast<HBRUSH>(SelectObject(object->m_hObject)));
    default:
        SelectObject(object->m_hObject);
        return nullptr;
    }
}

HGDIOBJ CDC::SelectObject(HGDIOBJ object) {
    if (!m_hDC || !object)
        return nullptr;
    ObjectData** slot = nullptr;
    switch (object->kind) {
    case ObjectData::Kind::Bitmap:
        if (m_hDC->windowSurface)
            return nullptr; // only memory DCs take bitmaps
        slot = reinterpret_cast<ObjectData**>(&m_hDC->bitmap);
        break;
    case ObjectData::Kind::Brush:
        slot = reinterpret_cast<ObjectData**>(&m_hDC->brush);
        break;
    case ObjectData::Kind::Pen:
        slot = reinterpret_cast<ObjectData**>(&m_hDC->pen);
        break;
    case ObjectData::Kind::Font:
        slot = reinterpret_cast<ObjectData**>(&m_hDC->font);
        break;
    case ObjectData::Kind::Region: {
        m_hDC->clip = static_cast<RegionData*>(object)->region;
        return nullptr;
    }
    }
    // The object handed back stays alive while its owner (or, for stock
    // objects, the system) keeps it, as on the platform.
    ObjectData* old = *slot;
    m_hDC->Select(*slot, object);
    return old;
}

CGdiObject* CDC::SelectStockObject(int which) {
    HGDIOBJ stock = GetStockObject(which);
    if (!stock)
        return nullptr;
    HGDIOBJ old = SelectObject(stock);
    if (!old)
        return nullptr;
    switch (old->kind) {
    case ObjectData::Kind::Font:
        return CFont::FromHandle(static_cast<HFONT>(old));
    case ObjectData::Kind::Brush:
        return CBrush::FromHandle(static_cast<HBRUSH>(old));
    default:
        return nullptr;
    }
}

CFont* CDC::GetCurrentFont() const {
    return CFont::FromHandle(m_hDC->font);
}

CBitmap* CDC::GetCurrentBitmap() const {
    return CBitmap::FromHandle(m_hDC->bitmap);
}

COLORREF CDC::SetTextColor(COLORREF color) {
    return std::exchange(m_hDC->textColor, color);
}
COLORREF CDC::SetBkColor(COLORREF color) {
    return std::exchange(m_hDC->bkColor, color);
}
int CDC::SetBkMode(int mode) {
    return std::exchange(m_hDC->bkMode, mode);
}
int CDC::SetStretchBltMode(int mode) {
    return std::exchange(m_hDC->stretchMode, mode);
}
int CDC::SetMapMode(int mode) {
    return std::exchange(m_hDC->mapMode, mode);
}
CPoint CDC::SetWindowOrg(int x, int y) {
    const QPoint old = std::exchange(m_hDC->windowOrg, QPoint(x, y));
    return {old.x(), old.y()};
}
CPoint CDC::GetWindowOrg() const {
    return {m_hDC->windowOrg.x(), m_hDC->windowOrg.y()};
}
CPoint CDC::SetViewportOrg(int x, int y) {
    const QPoint old = std::exchange(m_hDC->viewportOrg, QPoint(x, y));
    return {old.x(), old.y()};
}
CPoint CDC::GetViewportOrg() const {
    return {m_hDC->viewportOrg.x(), m_hDC->viewportOrg.y()};
}
CPoint CDC::OffsetViewportOrg(int dx, int dy) {
    const QPoint old = m_hDC->viewportOrg;
    m_hDC->viewportOrg += QPoint(dx, dy);
    return {old.x(), old.y()};
}
CSize CDC::SetWindowExt(int cx, int cy) {
    return std::exchange(m_hDC->windowExt, SIZE{cx, cy});
}
CSize CDC::SetViewportExt(int cx, int cy) {
    return std::exchange(m_hDC->viewportExt, SIZE{cx, cy});
}

void CDC::LPtoDP(POINT* p, int count) const {
    for (int i = 0; i < count; ++i) {
        const QPoint d = ToDevice(p[i].x, p[i].y);
        p[i] = {d.x(), d.y()};
    }
}

void CDC::DPtoLP(POINT* p, int count) const {
    const QPoint off = m_hDC->viewportOrg - m_hDC->windowOrg;
    for (int i = 0; i < count; ++i)
        p[i] = {p[i].x - off.x(), p[i].y - off.y()};
}

QPoint CDC::ToDevice(int x, int y) const {
    return QPoint(x, y) - m_hDC->windowOrg + m_hDC->viewportOrg;
}

QRect CDC::ToDevice(const RECT& r) const {
    const QPoint tl = ToDevice(r.left, r.top);
    return QRect(tl, QSize(r.right - r.left, r.bottom - r.top));
}

QRegion CDC::EffectiveClip() const {
    const QImage* s = m_hDC->Surface();
    QRegion region(s ? s->rect() : QRect());
    if (m_hDC->baseClip)
        region &= *m_hDC->baseClip;
    if (m_hDC->clip)
        region &= *m_hDC->clip;
    return region;
}

int CDC::GetClipBox(RECT* rect) const {
    const QRect r = EffectiveClip().boundingRect();
    const QPoint off = m_hDC->viewportOrg - m_hDC->windowOrg;
    if (r.isEmpty()) {
        *rect = RECT{};
        return NULLREGION;
    }
    *rect = RECT{r.left() - off.x(), r.top() - off.y(), r.right() + 1 - off.x(), r.bottom() + 1 - off.y()};
    return EffectiveClip().rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int CDC::SelectClipRgn(CRgn* region) {
    if (!region || !region->m_hObject)
        m_hDC->clip.reset();
    else
        m_hDC->clip = region->GetHandle()->region; // region coordinates are device units
    return EffectiveClip().isEmpty() ? NULLREGION : SIMPLEREGION;
}

int CDC::IntersectClipRect(int l, int t, int r, int b) {
    const QRegion rect(ToDevice(RECT{l, t, r, b}));
    m_hDC->clip = m_hDC->clip ? (*m_hDC->clip & rect) : rect;
    return EffectiveClip().isEmpty() ? NULLREGION : SIMPLEREGION;
}

int CDC::ExcludeClipRect(int l, int t, int r, int b) {
    const QImage* s = m_hDC->Surface();
    const QRegion all = m_hDC->clip ? *m_hDC->clip : QRegion(s ? s->rect() : QRect());
    m_hDC->clip = all.subtracted(QRegion(ToDevice(RECT{l, t, r, b})));
    return EffectiveClip().isEmpty() ? NULLREGION : COMPLEXREGION;
}

BOOL CDC::PtVisible(int x, int y) const {
    return EffectiveClip().contains(ToDevice(x, y));
}

void CDC::Drawn() {
    if (m_hDC->onDrawn)
        m_hDC->onDrawn();
}

template <typename F> void CDC::Paint(F&& draw) {
    QImage* surface = m_hDC ? m_hDC->Surface() : nullptr;
    if (!surface || surface->isNull())
        return;
    {
        QPainter p(surface);
        p.setClipRegion(EffectiveClip());
        p.translate(m_hDC->viewportOrg - m_hDC->windowOrg);
        draw(p);
    }
    Drawn();
}

void CDC::FillSolidRect(const RECT* rect, COLORREF color) {
    // As the framework does it: through the background colour, which stays set.
    SetBkColor(color);
    Paint([&](QPainter& p) {
        p.fillRect(QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top),
                   ToQColor(color));
    });
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
    const RECT r{x, y, x + cx, y + cy};
    FillSolidRect(&r, color);
}

void CDC::FillRect(const RECT* rect, CBrush* brush) {
    if (!brush || !brush->m_hObject || brush->GetHandle()->style == BS_NULL)
        return;
    const QColor c = ToQColor(brush->GetHandle()->color);
    Paint([&](QPainter& p) {
        p.fillRect(QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top), c);
    });
}

void CDC::FrameRect(const RECT* rect, CBrush* brush) {
    if (!brush || !brush->m_hObject || brush->GetHandle()->style == BS_NULL)
        return;
    const QColor c = ToQColor(brush->GetHandle()->color);
    const QRect r(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
    Paint([&](QPainter& p) {
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), c);
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c);
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), c);
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), c);
    });
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) {
    Paint([&](QPainter& p) {
        p.fillRect(QRect(x, y, cx - 1, 1), ToQColor(topLeft));
        p.fillRect(QRect(x, y, 1, cy - 1), ToQColor(topLeft));
        p.fillRect(QRect(x + cx - 1, y, 1, cy), ToQColor(bottomRight));
        p.fillRect(QRect(x, y + cy - 1, cx, 1), ToQColor(bottomRight));
    });
}

void CDC::Draw3dRect(const RECT* r, COLORREF topLeft, COLORREF bottomRight) {
    Draw3dRect(r->left, r->top, r->right - r->left, r->bottom - r->top, topLeft, bottomRight);
}

namespace {

void SetupPen(QPainter& p, const PenData* pen) {
    if (!pen || pen->style == PS_NULL) {
        p.setPen(Qt::NoPen);
        return;
    }
    QPen qp(ToQColor(pen->color));
    qp.setWidth(pen->width);
    qp.setStyle(pen->style == PS_DASH ? Qt::DashLine : pen->style == PS_DOT ? Qt::DotLine : Qt::SolidLine);
    qp.setCapStyle(Qt::FlatCap);
    qp.setJoinStyle(Qt::MiterJoin);
    p.setPen(qp);
}

void SetupBrush(QPainter& p, const BrushData* brush) {
    if (!brush || brush->style == BS_NULL)
        p.setBrush(Qt::NoBrush);
    else
        p.setBrush(ToQColor(brush->color));
}

} // namespace

BOOL CDC::Rectangle(int l, int t, int r, int b) {
    Paint([&](QPainter& p) {
        if (m_hDC->brush && m_hDC->brush->style != BS_NULL)
            p.fillRect(QRect(l, t, r - l, b - t), ToQColor(m_hDC->brush->color));
        if (m_hDC->pen && m_hDC->pen->style != PS_NULL) {
            SetupPen(p, m_hDC->pen);
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRect(l, t, r - l - 1, b - t - 1));
        }
    });
    return TRUE;
}

BOOL CDC::RoundRect(int l, int t, int r, int b, int w, int h) {
    Paint([&](QPainter& p) {
        SetupPen(p, m_hDC->pen);
        SetupBrush(p, m_hDC->brush);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.drawRoundedRect(QRect(l, t, r - l - 1, b - t - 1), w / 2.0, h / 2.0);
    });
    return TRUE;
}

BOOL CDC::Ellipse(int l, int t, int r, int b) {
    Paint([&](QPainter& p) {
        SetupPen(p, m_hDC->pen);
        SetupBrush(p, m_hDC->brush);
        p.drawEllipse(QRect(l, t, r - l - 1, b - t - 1));
    });
    return TRUE;
}

BOOL CDC::Polygon(const POINT* points, int count) {
    QPolygon poly;
    for (int i = 0; i < count; ++i)
        poly << QPoint(points[i].x, points[i].y);
    Paint([&](QPainter& p) {
        SetupPen(p, m_hDC->pen);
        SetupBrush(p, m_hDC->brush);
        p.drawPolygon(poly);
    });
    return TRUE;
}

BOOL CDC::Polyline(const POINT* points, int count) {
    QPolygon poly;
    for (int i = 0; i < count; ++i)
        poly << QPoint(points[i].x, points[i].y);
    Paint([&](QPainter& p) {
        SetupPen(p, m_hDC->pen);
        p.drawPolyline(poly);
    });
    return TRUE;
}

CPoint CDC::MoveTo(int x, int y) {
    const QPoint old = std::exchange(m_hDC->currentPos, QPoint(x, y));
    return {old.x(), old.y()};
}

BOOL CDC::LineTo(int x, int y) {
    const QPoint from = m_hDC->currentPos;
    const QPoint to(x, y);
    Paint([&](QPainter& p) {
        SetupPen(p, m_hDC->pen);
        // The end point is not drawn.
        if (from == to)
            return;
        QPainterPath path;
        if (from.y() == to.y()) {
            const int step = to.x() > from.x() ? -1 : 1;
            p.drawLine(from, QPoint(to.x() + step, to.y()));
        } else if (from.x() == to.x()) {
            const int step = to.y() > from.y() ? -1 : 1;
            p.drawLine(from, QPoint(to.x(), to.y() + step));
        } else {
            p.drawLine(from, to);
        }
    });
    m_hDC->currentPos = to;
    return TRUE;
}

COLORREF CDC::GetPixel(int x, int y) const {
    const QImage* s = m_hDC ? m_hDC->Surface() : nullptr;
    const QPoint d = ToDevice(x, y);
    if (!s || !s->rect().contains(d))
        return CLR_INVALID;
    return ToColorRef(s->pixel(d));
}

COLORREF CDC::SetPixel(int x, int y, COLORREF color) {
    QImage* s = m_hDC ? m_hDC->Surface() : nullptr;
    const QPoint d = ToDevice(x, y);
    if (!s || !EffectiveClip().contains(d))
        return CLR_INVALID;
    const bool mono = IsMonochrome();
    s->setPixel(d, mono ? (color == 0 ? qRgb(0, 0, 0) : qRgb(255, 255, 255)) : ToRgb(color));
    Drawn();
    return color;
}

BOOL CDC::PatBlt(int x, int y, int w, int h, DWORD rop) {
    Blit(ToDevice(RECT{x, y, x + w, y + h}), nullptr, QRect(), rop);
    return TRUE;
}

BOOL CDC::BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop) {
    if (!src || !src->m_hDC)
        return PatBlt(x, y, w, h, rop);
    const QRect s = src->ToDevice(RECT{sx, sy, sx + w, sy + h});
    Blit(ToDevice(RECT{x, y, x + w, y + h}), src, s, rop);
    return TRUE;
}

BOOL CDC::StretchBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh, DWORD rop) {
    if (!src || !src->m_hDC || !src->m_hDC->Surface())
        return FALSE;
    if (w == sw && h == sh)
        return BitBlt(x, y, w, h, src, sx, sy, rop);
    if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0)
        return FALSE;
    // Scale the source part into a temporary DC, then blit it 1:1.
    const QRect srcRect = src->ToDevice(RECT{sx, sy, sx + sw, sy + sh});
    const QImage part =
        src->m_hDC->Surface()->copy(srcRect).scaled(w, h, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    CDC temp;
    temp.CreateCompatibleDC(nullptr);
    auto* bitmap = new BitmapData;
    bitmap->image = part;
    bitmap->mono = src->IsMonochrome();
    temp.m_hDC->bitmap->Release();
    temp.m_hDC->bitmap = bitmap; // takes the new object's only reference
    temp.m_hDC->bkColor = src->m_hDC->bkColor;
    temp.m_hDC->textColor = src->m_hDC->textColor;
    Blit(ToDevice(RECT{x, y, x + w, y + h}), &temp, QRect(0, 0, w, h), rop);
    return TRUE;
}

BOOL CDC::TransparentBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh,
                         UINT transparent) {
    if (!src || !src->m_hDC || !src->m_hDC->Surface())
        return FALSE;
    const QRect srcRect = src->ToDevice(RECT{sx, sy, sx + sw, sy + sh});
    QImage part = src->m_hDC->Surface()->copy(srcRect);
    if (w != sw || h != sh)
        part = part.scaled(w, h, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    part = part.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = ToRgb(transparent) & 0xFFFFFF;
    for (int j = 0; j < part.height(); ++j) {
        auto* line = reinterpret_cast<QRgb*>(part.scanLine(j));
        for (int i = 0; i < part.width(); ++i)
            if ((line[i] & 0xFFFFFF) == key)
                line[i] = 0;
    }
    Paint([&](QPainter& p) { p.drawImage(QPoint(x, y), part); });
    return TRUE;
}

void CDC::Blit(const QRect& dst, CDC* src, const QRect& srcRect, DWORD rop) {
    QImage* target = m_hDC ? m_hDC->Surface() : nullptr;
    if (!target || dst.isEmpty())
        return;
    const QImage* source = src ? src->m_hDC->Surface() : nullptr;
    const bool needsSource = (((rop >> 2) ^ rop) & 0x330000) != 0;
    if (needsSource && !source)
        return;
    const bool dstMono = IsMonochrome();
    const bool srcMono = src && src->IsMonochrome();
    const QRegion region = EffectiveClip() & QRegion(dst);
    const QPoint shift = srcRect.topLeft() - dst.topLeft();

    if (rop == SRCCOPY && !dstMono && !srcMono) {
        QPainter p(target);
        p.setClipRegion(region);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(dst.topLeft(), *source, QRect(srcRect.topLeft(), dst.size()));
        p.end();
        Drawn();
        return;
    }

    const QRgb srcBk = src ? ToRgb(src->m_hDC->bkColor) & 0xFFFFFF : 0;
    const QRgb dstText = ToRgb(m_hDC->textColor) & 0xFFFFFF;
    const QRgb dstBk = ToRgb(m_hDC->bkColor) & 0xFFFFFF;
    const QRgb brush =
        m_hDC->brush && m_hDC->brush->style != BS_NULL ? ToRgb(m_hDC->brush->color) & 0xFFFFFF : 0xFFFFFF;
    for (const QRect& r : region) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(target->scanLine(y));
            const int syy = y + shift.y();
            const bool rowInSource = source && syy >= 0 && syy < source->height();
            const auto* sline =
                rowInSource ? reinterpret_cast<const QRgb*>(source->constScanLine(syy)) : nullptr;
            for (int x = r.left(); x <= r.right(); ++x) {
                QRgb s = 0;
                if (needsSource) {
                    const int sxx = x + shift.x();
                    if (!sline || sxx < 0 || sxx >= source->width())
                        continue; // outside the source: left as it is
                    s = sline[sxx] & 0xFFFFFF;
                    if (srcMono && !dstMono)
                        s = s ? dstBk : dstText;
                    else if (!srcMono && dstMono)
                        s = s == srcBk ? 0xFFFFFF : 0;
                }
                const QRgb d = line[x] & 0xFFFFFF;
                QRgb out;
                switch (rop) {
                case SRCCOPY:
                    out = s;
                    break;
                case SRCAND:
                    out = s & d;
                    break;
                case SRCPAINT:
                    out = s | d;
                    break;
                case SRCINVERT:
                    out = s ^ d;
                    break;
                case SRCERASE:
                    out = s & ~d;
                    break;
                case NOTSRCCOPY:
                    out = ~s;
                    break;
                case NOTSRCERASE:
                    out = ~(s | d);
                    break;
                case MERGEPAINT:
                    out = ~s | d;
                    break;
                case PATCOPY:
                    out = brush;
                    break;
                case DSTINVERT:
                    out = ~d;
                    break;
                case BLACKNESS:
                    out = 0;
                    break;
                case WHITENESS:
                    out = 0xFFFFFF;
                    break;
                default:
                    out = s;
                    break;
                }
                out &= 0xFFFFFF;
                if (dstMono)
                    out = out ? 0xFFFFFF : 0;
                line[x] = 0xFF000000 | out;
            }
        }
    }
    Drawn();
}

QFont CDC::CurrentQFont() const {
    return m_hDC->font ? m_hDC->font->font : QFont();
}

int CDC::DrawText(const char* text, int count, RECT* rect, UINT format) {
    return DrawText(count < 0 ? CString(text) : CString(text, std::size_t(count)), rect, format);
}

int CDC::DrawText(const CString& text, RECT* rect, UINT format) {
    QString s = ToQString(text);
    if (!(format & DT_NOPREFIX))
        s = StripPrefix(s);
    const QFont font = CurrentQFont();
    const QFontMetrics fm(font);
    const QRect box(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
    int flags = 0;
    if (format & DT_CENTER)
        flags |= Qt::AlignHCenter;
    else if (format & DT_RIGHT)
        flags |= Qt::AlignRight;
    else
        flags |= Qt::AlignLeft;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            flags |= Qt::AlignVCenter;
        else if (format & DT_BOTTOM)
            flags |= Qt::AlignBottom;
        else
            flags |= Qt::AlignTop;
        flags |= Qt::TextSingleLine;
    } else {
        flags |= Qt::AlignTop;
        if (format & DT_WORDBREAK)
            flags |= Qt::TextWordWrap;
    }
    if (format & DT_EXPANDTABS)
        flags |= Qt::TextExpandTabs;
    // A path keeps its last part: the middle gives way.
    if (format & DT_PATH_ELLIPSIS)
        s = fm.elidedText(s, Qt::ElideMiddle, box.width());
    else if (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS))
        s = fm.elidedText(s, Qt::ElideRight, box.width());
    const QRect bounds =
        fm.boundingRect(format & DT_SINGLELINE ? QRect(box.left(), box.top(), 100000, box.height()) : box,
                        flags & ~(Qt::AlignHCenter | Qt::AlignRight | Qt::AlignVCenter | Qt::AlignBottom), s);
    if (format & DT_CALCRECT) {
        rect->right = rect->left + bounds.width();
        rect->bottom = rect->top + bounds.height();
        return bounds.height();
    }
    const bool opaque = m_hDC->bkMode == OPAQUE;
    const QColor textColor = ToQColor(m_hDC->textColor);
    const QColor bkColor = ToQColor(m_hDC->bkColor);
    Paint([&](QPainter& p) {
        if (!(format & DT_NOCLIP))
            p.setClipRect(box, Qt::IntersectClip);
        p.setFont(font);
        QRect drawn;
        p.setPen(textColor);
        if (opaque) {
            const QRect where = AlignedRect(flags, bounds.size(), box);
            p.fillRect(where, bkColor);
        }
        p.drawText(box, flags, s, &drawn);
    });
    return bounds.height();
}

BOOL CDC::TextOut(int x, int y, const CString& text) {
    const QString s = ToQString(text);
    const QFont font = CurrentQFont();
    const QFontMetrics fm(font);
    const bool opaque = m_hDC->bkMode == OPAQUE;
    Paint([&](QPainter& p) {
        p.setFont(font);
        if (opaque)
            p.fillRect(QRect(x, y, fm.horizontalAdvance(s), fm.height()), ToQColor(m_hDC->bkColor));
        p.setPen(ToQColor(m_hDC->textColor));
        p.drawText(QPoint(x, y + fm.ascent()), s);
    });
    return TRUE;
}

BOOL CDC::ExtTextOut(int x, int y, UINT options, const RECT* rect, const CString& text, const int*) {
    if ((options & ETO_OPAQUE) && rect) {
        const QColor c = ToQColor(m_hDC->bkColor);
        Paint([&](QPainter& p) {
            p.fillRect(QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top), c);
        });
    }
    if (!text.empty()) {
        const int saved = SetBkMode(TRANSPARENT);
        TextOut(x, y, text);
        SetBkMode(saved);
    }
    return TRUE;
}

CSize CDC::GetTextExtent(const CString& text) const {
    const QFontMetrics fm(CurrentQFont());
    return {fm.horizontalAdvance(ToQString(text)), fm.height()};
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* tm) const {
    const QFontMetrics fm(CurrentQFont());
    *tm = TEXTMETRIC{};
    tm->tmAscent = fm.ascent();
    tm->tmDescent = fm.descent();
    tm->tmHeight = fm.ascent() + fm.descent();
    tm->tmInternalLeading = tm->tmHeight - CurrentQFont().pixelSize();
    tm->tmExternalLeading = std::max(0, fm.leading());
    tm->tmAveCharWidth = fm.averageCharWidth();
    tm->tmMaxCharWidth = fm.maxWidth();
    tm->tmWeight = m_hDC->font ? m_hDC->font->weight : FW_NORMAL;
    return TRUE;
}
