#pragma once
// Hands colours of the drawing layer to Cairo.
#include "framework/drawing/Color.h"

#include <cairo.h>

namespace GdiplusGfxLayer {

inline void SetSourceColor(cairo_t* cr, const Color& color)
{
    cairo_set_source_rgba(cr, color.GetRed() / 255.0, color.GetGreen() / 255.0, color.GetBlue() / 255.0,
                          color.GetAlpha() / 255.0);
}

inline void AddColorStop(cairo_pattern_t* pattern, double offset, const Color& color)
{
    cairo_pattern_add_color_stop_rgba(pattern, offset, color.GetRed() / 255.0, color.GetGreen() / 255.0,
                                      color.GetBlue() / 255.0, color.GetAlpha() / 255.0);
}

// A linear gradient from `from` at (x0, y0) to `to` at (x1, y1), repeated
// beyond its ends. The caller destroys it.
inline cairo_pattern_t* CreateLinearGradient(double x0, double y0, const Color& from, double x1, double y1,
                                             const Color& to)
{
    cairo_pattern_t* pattern = cairo_pattern_create_linear(x0, y0, x1, y1);
    AddColorStop(pattern, 0.0, from);
    AddColorStop(pattern, 1.0, to);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    return pattern;
}

} // namespace GdiplusGfxLayer
