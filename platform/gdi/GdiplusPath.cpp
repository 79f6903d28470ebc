#include "platform/gdi/GdiplusPath.h"

#include <QFontMetricsF>
#include <QPainter>

#include <vector>

namespace Gdiplus {

namespace {

QColor ToQColor(const Color& c) {
    return QColor(c.GetR(), c.GetG(), c.GetB(), c.GetA());
}

QPen ToQPen(const Pen& pen) {
    QPen q(ToQColor(pen.GetColor()), pen.GetWidth(), Qt::SolidLine, Qt::FlatCap);
    switch (pen.GetLineJoin()) {
    case LineJoinRound:
        q.setJoinStyle(Qt::RoundJoin);
        break;
    case LineJoinBevel:
        q.setJoinStyle(Qt::BevelJoin);
        break;
    default:
        q.setJoinStyle(Qt::MiterJoin);
        break;
    }
    return q;
}

} // namespace

Status GraphicsPath::AddString(const CString& text, const FontFamily* family, int style, REAL emSize,
                               const PointF& origin, const StringFormat* format) {
    if (!family || emSize <= 0)
        return InvalidParameter;
    const QFont font = platform::gdi::MakeFont(family->GetName(), -std::max(1, int(std::lround(emSize))),
                                               (style & FontStyleBold) ? FW_BOLD : FW_NORMAL,
                                               (style & FontStyleItalic) != 0);
    const QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
    const QFontMetricsF metrics(font);
    qreal x = origin.X;
    const StringAlignment align = format ? format->GetAlignment() : StringAlignmentNear;
    if (align == StringAlignmentCenter)
        x -= metrics.horizontalAdvance(s) / 2;
    else if (align == StringAlignmentFar)
        x -= metrics.horizontalAdvance(s);
    m_path.addText(QPointF(x, origin.Y + metrics.ascent()), font, s);
    return Ok;
}

Status Graphics::SetSmoothingMode(SmoothingMode mode) {
    m_smoothing = mode;
    return Ok;
}

Status Graphics::SetPageUnit(Unit unit) {
    return unit == UnitPixel || unit == UnitDisplay ? Ok : InvalidParameter;
}

Status Graphics::SetClip(const Rect& rect) {
    m_clip = QRect(rect.X, rect.Y, rect.Width, rect.Height);
    return Ok;
}

Status Graphics::DrawLines(const Pen* pen, const PointF* points, int count) {
    if (!pen || !points || count < 2)
        return InvalidParameter;
    std::vector<QPointF> line(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        line[std::size_t(i)] = QPointF(points[i].X, points[i].Y);
    return Paint(
        [&](QPainter& p) {
            p.setPen(ToQPen(*pen));
            p.drawPolyline(line.data(), count);
        },
        true);
}

Status Graphics::DrawPath(const Pen* pen, const GraphicsPath* path) {
    if (!pen || !path)
        return InvalidParameter;
    return Paint(
        [&](QPainter& p) {
            p.setPen(ToQPen(*pen));
            p.setBrush(Qt::NoBrush);
            p.drawPath(path->Outline());
        },
        true);
}

Status Graphics::FillPath(const SolidBrush* brush, const GraphicsPath* path) {
    if (!brush || !path)
        return InvalidParameter;
    return Paint([&](QPainter& p) { p.fillPath(path->Outline(), ToQColor(brush->GetColor())); }, true);
}

} // namespace Gdiplus
