#include "platform/SystemColors.h"

#include <gtest/gtest.h>

TEST(SystemColors, TooltipBackgroundIsPaleYellow)
{
    constexpr Platform::Rgb colour = Platform::TooltipBackground();
    EXPECT_EQ(255, colour.red);
    EXPECT_EQ(255, colour.green);
    EXPECT_EQ(225, colour.blue);
}
