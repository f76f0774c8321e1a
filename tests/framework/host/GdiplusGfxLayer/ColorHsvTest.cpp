#include "framework/host/GdiplusGfxLayer/ColorHsv.h"

#include <gtest/gtest.h>

using namespace GdiplusGfxLayer;

TEST(ColorHsv, ConvertsPrimariesAndGreys)
{
    double h, s, v;
    RgbToHsv(1, 0, 0, h, s, v);
    EXPECT_DOUBLE_EQ(0.0, h);
    EXPECT_DOUBLE_EQ(1.0, s);
    EXPECT_DOUBLE_EQ(1.0, v);
    RgbToHsv(0, 0, 1, h, s, v);
    EXPECT_NEAR(240.0 / 360.0, h, 1e-12);
    RgbToHsv(0.4, 0.4, 0.4, h, s, v);
    EXPECT_DOUBLE_EQ(0.0, s);
    EXPECT_DOUBLE_EQ(0.0, h);
    EXPECT_DOUBLE_EQ(0.4, v);

    double r, g, b;
    HsvToRgb(1.0, 1.0, 1.0, r, g, b); // a hue of 1 is red again
    EXPECT_DOUBLE_EQ(1.0, r);
    EXPECT_DOUBLE_EQ(0.0, g);
    EXPECT_DOUBLE_EQ(0.0, b);
    HsvToRgb(240.0 / 360.0, 1.0, 1.0, r, g, b);
    EXPECT_NEAR(0.0, r, 1e-12);
    EXPECT_NEAR(1.0, b, 1e-12);
}

TEST(ColorHsv, BlendPassesThroughTheHuesBetweenWithoutWrapping)
{
    const Color red(255, 255, 0, 0);
    const Color blue(0, 0, 0, 255);
    EXPECT_EQ(Color(127, 0, 255, 0), BlendColorsHsv(red, blue, 0.5));
    EXPECT_EQ(red, BlendColorsHsv(red, blue, 0.0));
    EXPECT_EQ(Color(0, 0, 0, 255), BlendColorsHsv(red, blue, 1.0));
}
