#pragma once
// Pixel comparison with a tolerance per component, and where ink lies, for
// drawing tests.
#include "framework/drawing/Color.h"
#include "framework/drawing/Image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>
#include <sstream>

inline ::testing::AssertionResult PixelNear(const GdiplusGfxLayer::Image& image, int x, int y,
                                            const GdiplusGfxLayer::Color& expected, int tolerance = 2)
{
    const GdiplusGfxLayer::Color actual = image.GetPixel(x, y);
    const bool near = std::abs(actual.GetAlpha() - expected.GetAlpha()) <= tolerance
        && std::abs(actual.GetRed() - expected.GetRed()) <= tolerance
        && std::abs(actual.GetGreen() - expected.GetGreen()) <= tolerance
        && std::abs(actual.GetBlue() - expected.GetBlue()) <= tolerance;
    if (near)
        return ::testing::AssertionSuccess();
    std::ostringstream text;
    text << "pixel (" << x << ", " << y << ") is argb(" << actual.GetAlpha() << ", " << actual.GetRed() << ", "
         << actual.GetGreen() << ", " << actual.GetBlue() << "), expected argb(" << expected.GetAlpha() << ", "
         << expected.GetRed() << ", " << expected.GetGreen() << ", " << expected.GetBlue() << ")";
    return ::testing::AssertionFailure() << text.str();
}

// The first and last columns of the rows [top, bottom) holding a pixel for
// which inked(colour) holds; (INT_MAX, INT_MIN) when there is none.
template <class Inked>
std::pair<int, int> InkColumns(const GdiplusGfxLayer::Image& image, int top, int bottom, Inked inked)
{
    std::pair<int, int> columns{INT_MAX, INT_MIN};
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            if (inked(image.GetPixel(x, y))) {
                columns.first = std::min(columns.first, x);
                columns.second = std::max(columns.second, x);
            }
    return columns;
}

// Every pixel of a is the same as b's at the same place.
inline bool SamePixels(const GdiplusGfxLayer::Image& a, const GdiplusGfxLayer::Image& b)
{
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x)
            if (!(a.GetPixel(x, y) == b.GetPixel(x, y)))
                return false;
    return true;
}

inline int CountPixels(const GdiplusGfxLayer::Image& image, const GdiplusGfxLayer::Color& color)
{
    int count = 0;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            count += image.GetPixel(x, y) == color;
    return count;
}
