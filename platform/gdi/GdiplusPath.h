#pragma once

// Anti-aliased GDI+ drawing: pens, solid brushes, float points and graphics
// paths that hold outlined text.  Graphics (Gdiplus.h) strokes and fills them.

#include "platform/gdi/Gdiplus.h"

#include <QPainterPath>

namespace Gdiplus {

using REAL = float;

enum LineJoin { LineJoinMiter = 0, LineJoinBevel = 1, LineJoinRound = 2 };
enum FontStyle { FontStyleRegular = 0, FontStyleBold = 1, FontStyleItalic = 2 };
enum StringAlignment { StringAlignmentNear = 0, StringAlignmentCenter = 1, StringAlignmentFar = 2 };

struct PointF {
    REAL X = 0;
    REAL Y = 0;
};

struct Rect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
};

class Pen {
public:
    explicit Pen(const Color& color, REAL width = 1.0f) : m_color(color), m_width(width) {}
    Status SetLineJoin(LineJoin join) {
        m_join = join;
        return Ok;
    }
    const Color& GetColor() const { return m_color; }
    REAL GetWidth() const { return m_width; }
    LineJoin GetLineJoin() const { return m_join; }

private:
    Color m_color;
    REAL m_width;
    LineJoin m_join = LineJoinMiter;
};

class SolidBrush {
public:
    explicit SolidBrush(const Color& color) : m_color(color) {}
    const Color& GetColor() const { return m_color; }

private:
    Color m_color;
};

// A font family by name; "Arial" resolves as the GDI fonts do.
class FontFamily {
public:
    explicit FontFamily(const CString& name) : m_name(name) {}
    const CString& GetName() const { return m_name; }

private:
    CString m_name;
};

class StringFormat {
public:
    Status SetAlignment(StringAlignment align) {
        m_align = align;
        return Ok;
    }
    StringAlignment GetAlignment() const { return m_align; }

private:
    StringAlignment m_align = StringAlignmentNear;
};

class GraphicsPath {
public:
    // The outlines of `text` (UTF-8), `emSize` pixels to the em, in a layout
    // box whose top edge is at `origin`; the format aligns it horizontally
    // on the origin.
    Status AddString(const CString& text, const FontFamily* family, int style, REAL emSize,
                     const PointF& origin, const StringFormat* format);
    const QPainterPath& Outline() const { return m_path; }

private:
    QPainterPath m_path; // odd-even filled, as GDI+ paths are by default
};

} // namespace Gdiplus
