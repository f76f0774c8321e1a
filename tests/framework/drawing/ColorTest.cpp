#include "framework/drawing/Color.h"
#include "framework/drawing/ColorHsv.h"

#include <gtest/gtest.h>

using namespace GdiplusGfxLayer;

TEST(Color, PacksAsArgbAndClampsComponentsOutOfRange)
{
    const Color c(128, 255, 1, 2);
    EXPECT_EQ(0x80FF0102u, c.GetValue());
    EXPECT_EQ(c, Color::FromArgb(0x80FF0102u));
    EXPECT_NE(c, Color(128, 255, 1, 3));
    EXPECT_EQ(0xFF000000u, Color().GetValue());

    const Color clamped(256, 300, -1, 1000);
    EXPECT_EQ(255, clamped.GetAlpha());
    EXPECT_EQ(255, clamped.GetRed());
    EXPECT_EQ(0, clamped.GetGreen());
    EXPECT_EQ(255, clamped.GetBlue());
}

TEST(ColorHsv, ConvertsPrimariesAndGreysBothWays)
{
    struct Row {
        double r, g, b, h, s, v;
    };
    const Row rows[] = {
        {1, 0, 0, 0.0, 1.0, 1.0},
        {0, 0, 1, 240.0 / 360.0, 1.0, 1.0},
        {0.4, 0.4, 0.4, 0.0, 0.0, 0.4},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.r << "," << row.g << "," << row.b);
        double h, s, v, r, g, b;
        RgbToHsv(row.r, row.g, row.b, h, s, v);
        EXPECT_NEAR(row.h, h, 1e-12);
        EXPECT_NEAR(row.s, s, 1e-12);
        EXPECT_NEAR(row.v, v, 1e-12);
        HsvToRgb(row.h, row.s, row.v, r, g, b);
        EXPECT_NEAR(row.r, r, 1e-12);
        EXPECT_NEAR(row.g, g, 1e-12);
        EXPECT_NEAR(row.b, b, 1e-12);
    }
    double r, g, b;
    HsvToRgb(1.0, 1.0, 1.0, r, g, b); // a hue of 1 is red again
    EXPECT_DOUBLE_EQ(1.0, r);
    EXPECT_DOUBLE_EQ(0.0, g);
}

TEST(ColorHsv, BlendPassesThroughTheHuesBetweenWithoutWrapping)
{
    const Color red(255, 255, 0, 0);
    const Color blue(0, 0, 0, 255);
    EXPECT_EQ(Color(127, 0, 255, 0), BlendColorsHsv(red, blue, 0.5));
    EXPECT_EQ(red, BlendColorsHsv(red, blue, 0.0));
    EXPECT_EQ(Color(0, 0, 0, 255), BlendColorsHsv(red, blue, 1.0));
}
