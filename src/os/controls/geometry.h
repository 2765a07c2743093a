#pragma once
// Points and rectangles in pixels, laid out as Windows' POINT and RECT (right and bottom lie
// just outside the rectangle).

namespace os {

struct Point {
    int x = 0;
    int y = 0;
    friend constexpr bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    constexpr bool Contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    static constexpr Rect FromSize(int x, int y, int width, int height) {
        return Rect{x, y, x + width, y + height};
    }
    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace os
