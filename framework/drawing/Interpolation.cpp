#include "framework/drawing/Interpolation.h"

namespace GdiplusGfxLayer {

cairo_filter_t FilterForInterpolation(int mode, cairo_filter_t fallback)
{
    switch (mode) {
    case 1:
        return CAIRO_FILTER_FAST; // LowQuality
    case 2:
        return CAIRO_FILTER_GOOD; // HighQuality
    case 3:
        return CAIRO_FILTER_BILINEAR; // Bilinear
    case 4:
        return CAIRO_FILTER_GOOD; // Bicubic
    case 5:
        return CAIRO_FILTER_NEAREST; // NearestNeighbor
    case 6:
        return CAIRO_FILTER_GOOD; // HighQualityBilinear
    case 7:
        return CAIRO_FILTER_BEST; // HighQualityBicubic
    default:
        return fallback;
    }
}

} // namespace GdiplusGfxLayer
