#include "framework/host/GdiplusGfxLayer/Color.h"

#include <gtest/gtest.h>

using GdiplusGfxLayer::Color;

TEST(Color, StoresAlphaFirstAndPacksAsArgb)
{
    const Color c(128, 255, 1, 2);
    EXPECT_EQ(128, c.GetAlpha());
    EXPECT_EQ(255, c.GetRed());
    EXPECT_EQ(1, c.GetGreen());
    EXPECT_EQ(2, c.GetBlue());
    EXPECT_EQ(0x80FF0102u, c.GetValue());
    EXPECT_EQ(c, Color::FromArgb(0x80FF0102u));
    EXPECT_EQ(0xFF000000u, Color().GetValue());
}

TEST(Color, ComponentsOutOfRangeAreClampedNotWrapped)
{
    const Color c(256, 300, -1, 1000);
    EXPECT_EQ(255, c.GetAlpha());
    EXPECT_EQ(255, c.GetRed());
    EXPECT_EQ(0, c.GetGreen());
    EXPECT_EQ(255, c.GetBlue());
    EXPECT_EQ(0xFFFF00FFu, c.GetValue());
}

TEST(Color, EqualOnlyWhenAllFourComponentsAre)
{
    EXPECT_EQ(Color(1, 2, 3, 4), Color(1, 2, 3, 4));
    EXPECT_NE(Color(1, 2, 3, 4), Color(0, 2, 3, 4));
    EXPECT_NE(Color(1, 2, 3, 4), Color(1, 2, 3, 5));
}
