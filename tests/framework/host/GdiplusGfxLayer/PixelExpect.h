#pragma once
// Pixel comparison with a tolerance per component, for drawing tests.
#include "framework/host/GdiplusGfxLayer/Color.h"
#include "framework/host/GdiplusGfxLayer/Image.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

inline ::testing::AssertionResult PixelNear(const GdiplusGfxLayer::Image& image, int x, int y,
                                            const GdiplusGfxLayer::Color& expected, int tolerance = 2)
{
    const GdiplusGfxLayer::Color actual = image.GetPixel(x, y);
    const bool near = std::abs(actual.GetAlpha() - expected.GetAlpha()) <= tolerance &&
                      std::abs(actual.GetRed() - expected.GetRed()) <= tolerance &&
                      std::abs(actual.GetGreen() - expected.GetGreen()) <= tolerance &&
                      std::abs(actual.GetBlue() - expected.GetBlue()) <= tolerance;
    if (near)
        return ::testing::AssertionSuccess();
    std::ostringstream text;
    text << "pixel (" << x << ", " << y << ") is argb(" << actual.GetAlpha() << ", " << actual.GetRed() << ", "
         << actual.GetGreen() << ", " << actual.GetBlue() << "), expected argb(" << expected.GetAlpha() << ", "
         << expected.GetRed() << ", " << expected.GetGreen() << ", " << expected.GetBlue() << ")";
    return ::testing::AssertionFailure() << text.str();
}
