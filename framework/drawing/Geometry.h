#pragma once
// Points and rectangles in pixels, as the object tree measures positions and sizes.

namespace Vabo {

struct Point {
    int x = 0;
    int y = 0;
};

// Half-open: {x, y, w, h} holds p when x <= p.x < x + w and y <= p.y < y + h.
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool Contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
};

inline bool operator==(const Rect& a, const Rect& b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

} // namespace Vabo
