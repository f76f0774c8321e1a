#include "framework/drawing/Region.h"

namespace GdiplusGfxLayer {
namespace {

cairo_rectangle_int_t ToCairo(const Vabo::Rect& rect)
{
    return cairo_rectangle_int_t{rect.x, rect.y, rect.width, rect.height};
}

} // namespace

Region::Region()
    : region_(cairo_region_create())
{
}

Region::~Region()
{
    cairo_region_destroy(region_);
}

Region::Region(const Region& other)
    : region_(cairo_region_copy(other.region_))
{
}

Region& Region::operator=(const Region& other)
{
    if (this != &other) {
        cairo_region_t* copy = cairo_region_copy(other.region_);
        cairo_region_destroy(region_);
        region_ = copy;
    }
    return *this;
}

bool Region::Union(const Vabo::Rect& rect)
{
    if (rect.width <= 0 || rect.height <= 0)
        return true;
    const cairo_rectangle_int_t r = ToCairo(rect);
    return cairo_region_union_rectangle(region_, &r) == CAIRO_STATUS_SUCCESS;
}

bool Region::Intersect(const Vabo::Rect& rect)
{
    if (rect.width <= 0 || rect.height <= 0) {
        MakeEmpty();
        return true;
    }
    const cairo_rectangle_int_t r = ToCairo(rect);
    return cairo_region_intersect_rectangle(region_, &r) == CAIRO_STATUS_SUCCESS;
}

void Region::MakeEmpty()
{
    cairo_region_destroy(region_);
    region_ = cairo_region_create();
}

bool Region::IsEmpty() const
{
    return cairo_region_is_empty(region_);
}

Vabo::Rect Region::GetBounds() const
{
    cairo_rectangle_int_t r;
    cairo_region_get_extents(region_, &r);
    return Vabo::Rect{r.x, r.y, r.width, r.height};
}

bool Region::Contains(int x, int y) const
{
    return cairo_region_contains_point(region_, x, y);
}

} // namespace GdiplusGfxLayer
