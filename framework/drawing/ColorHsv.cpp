#include "framework/drawing/ColorHsv.h"

#include <algorithm>

namespace GdiplusGfxLayer {

void RgbToHsv(double r, double g, double b, double& h, double& s, double& v)
{
    const double max = std::max({r, g, b});
    const double min = std::min({r, g, b});
    v = max;
    h = 0.0;
    s = 0.0;
    if (max <= 0.0)
        return;
    const double delta = max - min;
    s = delta / max;
    if (s <= 0.0)
        return;
    const double rc = (max - r) / delta;
    const double gc = (max - g) / delta;
    const double bc = (max - b) / delta;
    if (r == max)
        h = bc - gc;
    else if (g == max)
        h = 2.0 + rc - bc;
    else
        h = 4.0 + gc - rc;
    h *= 60.0;
    if (h < 0.0)
        h += 360.0;
    h *= 0.002777777777777778;
}

void HsvToRgb(double h, double s, double v, double& r, double& g, double& b)
{
    if (s <= 0.0) {
        r = g = b = v;
        return;
    }
    const double h6 = (h >= 1.0 ? 0.0 : h) * 6.0;
    const int i = static_cast<int>(h6);
    const double f = h6 - i;
    const double p = (1.0 - s) * v;
    const double q = (1.0 - s * f) * v;
    const double t = (1.0 - (1.0 - f) * s) * v;
    switch (i) {
    case 0:
        r = v;
        g = t;
        b = p;
        break;
    case 1:
        r = q;
        g = v;
        b = p;
        break;
    case 2:
        r = p;
        g = v;
        b = t;
        break;
    case 3:
        r = p;
        g = q;
        b = v;
        break;
    case 4:
        r = t;
        g = p;
        b = v;
        break;
    default:
        r = v;
        g = p;
        b = q;
        break;
    }
}

void BlendHsv(double r1, double g1, double b1, double r2, double g2, double b2, double t, double scale, double& r,
              double& g, double& b)
{
    const double k = 1.0 / scale;
    double h1, s1, v1, h2, s2, v2;
    RgbToHsv(r1 * k, g1 * k, b1 * k, h1, s1, v1);
    RgbToHsv(r2 * k, g2 * k, b2 * k, h2, s2, v2);
    const auto mix = [t](double x, double y) { return (1.0 - t) * x + t * y; };
    HsvToRgb(mix(h1, h2), mix(s1, s2), mix(v1, v2), r, g, b);
    r *= scale;
    g *= scale;
    b *= scale;
}

Color BlendColorsHsv(const Color& a, const Color& b, double t)
{
    double r, g, bl;
    BlendHsv(a.GetRed(), a.GetGreen(), a.GetBlue(), b.GetRed(), b.GetGreen(), b.GetBlue(), t, 255.0, r, g, bl);
    const double alpha = (1.0 - t) * a.GetAlpha() + t * b.GetAlpha();
    return Color(static_cast<int>(alpha), static_cast<int>(r), static_cast<int>(g), static_cast<int>(bl));
}

} // namespace GdiplusGfxLayer
