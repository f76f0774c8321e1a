#pragma once
// Colour arithmetic in HSV space: conversions and the blend that gradients
// and colour fades use (hue interpolated without wrap-around).
#include "framework/drawing/Color.h"

namespace GdiplusGfxLayer {

// r, g, b in 0..1 to h in [0, 1), s and v in 0..1.
void RgbToHsv(double r, double g, double b, double& h, double& s, double& v);

// h in [0, 1) (1 or more counts as 0), s and v in 0..1 to r, g, b in 0..1.
void HsvToRgb(double h, double s, double v, double& r, double& g, double& b);

// Blends two colours given on a 0..scale range, at t (0 gives the first),
// through HSV; the result is on the same range.
void BlendHsv(double r1, double g1, double b1, double r2, double g2, double b2, double t, double scale, double& r,
              double& g, double& b);

// BlendHsv of the colours' red, green and blue on 0..255, alpha blended
// linearly; every component truncated toward zero.
Color BlendColorsHsv(const Color& a, const Color& b, double t);

} // namespace GdiplusGfxLayer
