#pragma once

// Points and rectangles in pixels, as the program's windows and its model
// share them.  No window system behind them, so the model can use them too.

struct POINT {
    int x = 0;
    int y = 0;
};

struct SIZE {
    int cx = 0;
    int cy = 0;
};

struct RECT {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

class CPoint : public POINT {
public:
    constexpr CPoint() = default;
    constexpr CPoint(int px, int py) : POINT{px, py} {}
    constexpr CPoint(const POINT& p) : POINT(p) {}

    constexpr CPoint operator+(const CPoint& o) const { return {x + o.x, y + o.y}; }
    constexpr CPoint operator-(const CPoint& o) const { return {x - o.x, y - o.y}; }
    constexpr CPoint& operator+=(const CPoint& o) {
        x += o.x;
        y += o.y;
        return *this;
    }
    constexpr CPoint& operator-=(const CPoint& o) {
        x -= o.x;
        y -= o.y;
        return *this;
    }
    constexpr bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
};

class CSize : public SIZE {
public:
    constexpr CSize() = default;
    constexpr CSize(int w, int h) : SIZE{w, h} {}
    constexpr CSize(const SIZE& s) : SIZE(s) {}
    constexpr bool operator==(const CSize& o) const { return cx == o.cx && cy == o.cy; }
};

class CRect : public RECT {
public:
    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    constexpr CRect(const RECT& r) : RECT(r) {}
    constexpr CRect(const POINT& topLeft, const SIZE& size)
        : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr CSize Size() const { return {Width(), Height()}; }
    constexpr CPoint TopLeft() const { return {left, top}; }
    constexpr CPoint BottomRight() const { return {right, bottom}; }
    // Integer halves, as the platform computes them.
    constexpr CPoint CenterPoint() const { return {(left + right) / 2, (top + bottom) / 2}; }
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    // Right and bottom edges are outside the rectangle.
    constexpr bool PtInRect(const POINT& p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }

    constexpr void SetRect(int l, int t, int r, int b) {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    constexpr void OffsetRect(int dx, int dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    constexpr void OffsetRect(const POINT& p) { OffsetRect(p.x, p.y); }
    constexpr void InflateRect(int dx, int dy) {
        left -= dx;
        right += dx;
        top -= dy;
        bottom += dy;
    }
    constexpr void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    constexpr void InflateRect(int l, int t, int r, int b) {
        left -= l;
        top -= t;
        right += r;
        bottom += b;
    }
    constexpr void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
    constexpr void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    // The overlap of a and b; false, and an empty rectangle, when there is none.
    constexpr bool IntersectRect(const RECT& a, const RECT& b) {
        SetRect(a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
                a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom);
        if (IsRectEmpty()) {
            SetRectEmpty();
            return false;
        }
        return true;
    }
    // The bounding rectangle of a and b; an empty operand does not count.
    constexpr bool UnionRect(const RECT& a, const RECT& b) {
        const CRect ra(a), rb(b);
        if (ra.IsRectEmpty())
            *this = rb;
        else if (rb.IsRectEmpty())
            *this = ra;
        else
            SetRect(a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
                    a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom);
        return !IsRectEmpty();
    }
    constexpr bool operator==(const CRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};
