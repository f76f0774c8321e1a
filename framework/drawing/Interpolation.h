#pragma once
// The picture interpolation modes of skins ("InterpMode": 0 Default to 7
// HighQualityBicubic) as Cairo filters.
#include <cairo.h>

namespace GdiplusGfxLayer {

// The filter for a mode; mode 0 (and any unknown mode) gives `fallback`.
cairo_filter_t FilterForInterpolation(int mode, cairo_filter_t fallback);

} // namespace GdiplusGfxLayer
