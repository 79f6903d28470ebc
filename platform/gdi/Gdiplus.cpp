#include "platform/gdi/Gdiplus.h"

#include <QPainter>

namespace Gdiplus {

namespace {
QImage Decode(IStream* stream) {
    if (!stream || !stream->Bytes() || stream->ByteCount() == 0)
        return {};
    return QImage::fromData(static_cast<const uchar*>(stream->Bytes()), int(stream->ByteCount()))
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
} // namespace

Image* Image::FromStream(IStream* stream, BOOL useEmbeddedColorManagement) {
    return Bitmap::FromStream(stream, useEmbeddedColorManagement);
}

Bitmap::Bitmap(IStream* stream, BOOL) {
    m_image = Decode(stream);
    m_status = m_image.isNull() ? InvalidParameter : Ok;
}

Bitmap::Bitmap(int width, int height) {
    m_image = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_ARGB32_Premultiplied);
    m_image.fill(Qt::transparent);
    m_status = Ok;
}

Status Bitmap::GetPixel(int x, int y, Color* color) const {
    if (!color || !m_image.rect().contains(x, y))
        return InvalidParameter;
    const QRgb p = m_image.pixel(x, y); // unpremultiplied by QImage::pixel
    *color = Color(qAlpha(p), qRed(p), qGreen(p), qBlue(p));
    return Ok;
}

Status Graphics::DrawImage(Image* image, int x, int y, int width, int height) {
    if (!image || image->GetLastStatus() != Ok)
        return InvalidParameter;
    return Paint(
        [&](QPainter& p) {
            p.setRenderHint(QPainter::SmoothPixmapTransform, true);
            p.drawImage(QRect(x, y, width, height), image->Pixels());
        },
        false);
}

Status Graphics::Paint(const std::function<void(QPainter&)>& draw, bool shapes) {
    if (m_image) {
        if (m_image->m_status != Ok)
            return InvalidParameter;
        QPainter p(&m_image->m_image);
        if (shapes) {
            if (m_clip)
                p.setClipRect(*m_clip);
            p.setRenderHint(QPainter::Antialiasing,
                            m_smoothing == SmoothingModeAntiAlias || m_smoothing == SmoothingModeHighQuality);
            p.translate(0.5, 0.5);
        }
        draw(p);
        return Ok;
    }
    if (!m_dc)
        return InvalidParameter;
    CDC* dc = CDC::FromHandle(m_dc);
    QImage* surface = m_dc->Surface();
    if (!surface)
        return InvalidParameter;
    RECT clip;
    if (dc->GetClipBox(&clip) == NULLREGION)
        return Ok;
    {
        QPainter p(surface);
        QRegion region(surface->rect());
        if (m_dc->baseClip)
            region &= *m_dc->baseClip;
        if (m_dc->clip)
            region &= *m_dc->clip;
        p.setClipRegion(region);
        p.translate(m_dc->viewportOrg - m_dc->windowOrg);
        if (shapes) {
            if (m_clip)
                p.setClipRect(*m_clip, Qt::IntersectClip);
            const bool smooth =
                m_smoothing == SmoothingModeAntiAlias || m_smoothing == SmoothingModeHighQuality;
            p.setRenderHint(QPainter::Antialiasing, smooth);
            p.translate(0.5, 0.5);
        }
        draw(p);
    }
    if (m_dc->onDrawn)
        m_dc->onDrawn();
    return Ok;
}

Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput*, void*) {
    if (token)
        *token = 1;
    return Ok;
}

void GdiplusShutdown(ULONG_PTR) {}

} // namespace Gdiplus
