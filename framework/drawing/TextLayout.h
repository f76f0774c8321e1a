#pragma once
// Pango layouts of the drawing layer: every text is laid out with the same
// font options (greyscale antialiasing, no hinting of outlines or metrics),
// whether it is measured or drawn, so that carets and centred texts land
// where the measurement said.
#include "framework/drawing/Font.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <string>

namespace GdiplusGfxLayer {

// A layout of the text (UTF-8; invalid bytes shown as replacement
// characters) in the font for drawing on `cr`. The caller unrefs it. A text
// far longer than any window is laid out only as far as its first million
// pixels or so, which keeps every extent Pango measures in its range.
PangoLayout* CreateTextLayout(cairo_t* cr, const Font& font, const std::string& text);

// Wraps the layout to `width` (none when not positive) at words (trimming 2)
// or at words and characters, aligns it (0 near, 1 centre, 2 far) and, for
// the ellipsis trimmings (3, 4, 5), cuts it to `height` with an ellipsis.
void ShapeTextLayout(PangoLayout* layout, float width, float height, int alignment, int trimming);

// A width or height in pixels (not negative) as Pango units, held inside
// the range a layout keeps to.
int PangoUnits(float pixels);

// The box of the laid-out characters first to last inclusive (counted in
// characters; -1 for first gives 0, -1 for last the end), each number rounded
// half away from zero; empty for an empty range.
Vabo::Rect MeasureLaidOutRange(PangoLayout* layout, int first, int last);

// A context on a small image surface for measuring, kept for the process.
cairo_t* MeasuringContext();

// Half away from zero, as every measured number is rounded.
int RoundHalfAway(double value);

} // namespace GdiplusGfxLayer
