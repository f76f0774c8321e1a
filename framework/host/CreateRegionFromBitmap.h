#pragma once
// Turns a picture's alpha channel into a window outline: the horizontal runs,
// one pixel high, of pixels that belong to the window. The host window hands
// the runs to the X Shape extension.
#include "platform/Rect.h"

#include <cairo.h>

#include <optional>
#include <vector>

namespace Vabo {

// Runs (rectangles of height 1) in rows from the top, left to right within a row. With `keep` a pixel
// belongs to the region when its alpha is at least `threshold`, without it
// when its alpha is below. No surface (or one that is not an ARGB32 image)
// gives no region; a picture with no such pixel gives an empty one.
std::optional<std::vector<Platform::Rect>> CreateRegionFromBitmap(cairo_surface_t* bitmap, int threshold, bool keep);

} // namespace Vabo
