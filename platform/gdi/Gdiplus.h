#pragma once

// The few GDI+ classes the program uses: images decoded from streams and
// drawn with their alpha onto a DC; anti-aliased lines and paths
// (GdiplusPath.h).

#include "platform/gdi/Dc.h"
#include "platform/res/ResourceApi.h"
#include "platform/sys/Color.h"

#include <QImage>

#include <functional>
#include <optional>

class QPainter;

namespace Gdiplus {

enum Status { Ok = 0, GenericError = 1, InvalidParameter = 2, OutOfMemory = 3, Win32Error = 7 };

class Image {
public:
    virtual ~Image() = default;
    UINT GetWidth() const { return UINT(m_image.width()); }
    UINT GetHeight() const { return UINT(m_image.height()); }
    Status GetLastStatus() const { return m_status; }
    // Decodes an image from a stream; check GetLastStatus.
    static Image* FromStream(IStream* stream, BOOL useEmbeddedColorManagement = FALSE);

    const QImage& Pixels() const { return m_image; }

protected:
    friend class Graphics; // draws into the pixels of an image it was made on
    Image() = default;
    QImage m_image; // ARGB32, premultiplied
    Status m_status = GenericError;
};

class Bitmap final : public Image {
public:
    Bitmap(IStream* stream, BOOL useEmbeddedColorManagement = FALSE);
    Bitmap(int width, int height);
    static Bitmap* FromStream(IStream* stream, BOOL useEmbeddedColorManagement = FALSE) {
        return new Bitmap(stream, useEmbeddedColorManagement);
    }
    Status GetPixel(int x, int y, Color* color) const;
};

class Pen;
class SolidBrush;
class GraphicsPath;
struct PointF;
struct Rect;

enum SmoothingMode {
    SmoothingModeDefault = 0,
    SmoothingModeHighSpeed = 1,
    SmoothingModeHighQuality = 2,
    SmoothingModeNone = 3,
    SmoothingModeAntiAlias = 4
};
enum Unit { UnitWorld = 0, UnitDisplay = 1, UnitPixel = 2 };

// Draws on a DC: images blend by their alpha; lines and paths have their
// pixel centres on integer coordinates.
class Graphics {
public:
    explicit Graphics(HDC dc) : m_dc(dc) {}
    // Draws into the image itself, in its own pixel coordinates.
    explicit Graphics(Image* image) : m_image(image) {}
    static Graphics* FromHDC(HDC dc) { return new Graphics(dc); }
    static Graphics* FromImage(Image* image) { return new Graphics(image); }
    Status DrawImage(Image* image, int x, int y, int width, int height);
    Status DrawImage(Image* image, int x, int y) {
        return image ? DrawImage(image, x, y, int(image->GetWidth()), int(image->GetHeight()))
                     : InvalidParameter;
    }

    // Lines and paths (GdiplusPath.cpp).  Only pixel units exist at 96 DPI.
    Status SetSmoothingMode(SmoothingMode mode);
    Status SetPageUnit(Unit unit);
    Status SetClip(const Rect& rect);
    Status DrawLines(const Pen* pen, const PointF* points, int count);
    Status DrawPath(const Pen* pen, const GraphicsPath* path);
    Status FillPath(const SolidBrush* brush, const GraphicsPath* path);

private:
    // Paints on the DC's surface inside its clip, in its logical coordinates;
    // `shapes` adds this object's clip, smoothing and pixel-centre offset.
    Status Paint(const std::function<void(QPainter&)>& draw, bool shapes);

    HDC m_dc = nullptr;
    Image* m_image = nullptr;
    SmoothingMode m_smoothing = SmoothingModeDefault;
    std::optional<QRect> m_clip;
};

struct GdiplusStartupInput {};
using ULONG_PTR = std::uintptr_t;
Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, void* output);
void GdiplusShutdown(ULONG_PTR token);

} // namespace Gdiplus
