#pragma once
// A set of pixels in window coordinates: the dirty region a frame redraws and
// the clip that drawing is limited to. New regions are empty.
#include "framework/drawing/Geometry.h"

#include <cairo.h>

namespace GdiplusGfxLayer {

class Region {
public:
    Region();
    ~Region();
    Region(const Region& other);
    Region& operator=(const Region& other);

    bool Union(const Vabo::Rect& rect);
    bool Intersect(const Vabo::Rect& rect);
    void MakeEmpty();
    bool IsEmpty() const;
    // The smallest rectangle holding the region; all zero when empty.
    Vabo::Rect GetBounds() const;
    bool Contains(int x, int y) const;

    const cairo_region_t* Get() const { return region_; }

private:
    cairo_region_t* region_;
};

} // namespace GdiplusGfxLayer
