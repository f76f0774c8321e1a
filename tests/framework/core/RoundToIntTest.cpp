#include "framework/core/RoundToInt.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <type_traits>

static_assert(std::is_same_v<decltype(Vabo::RoundToInt(0.0f)), std::int64_t>, "sizes beyond an int stay whole");

TEST(RoundToInt, HalvesGoAwayFromZeroWithTheSumInDoublePrecision)
{
    constexpr float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float value;
        std::int64_t rounded;
    };
    for (const Case& c : {Case{2.5f, 3}, Case{-2.5f, -3}, Case{2.25f, 2}, Case{-0.4f, 0}, Case{0.0f, 0},
                          Case{0.49999997f, 0}, Case{-0.49999997f, 0}, Case{8388609.0f, 8388609},
                          Case{-8388609.0f, -8388609}, Case{16777217.0f, 16777216}, Case{3.0e9f, 3000000000},
                          Case{-3.0e9f, -3000000000}, Case{1.0e19f, INT64_MAX}, Case{-1.0e19f, INT64_MIN},
                          Case{inf, INT64_MAX}, Case{-inf, INT64_MIN},
                          Case{std::numeric_limits<float>::quiet_NaN(), 0}})
        EXPECT_EQ(c.rounded, Vabo::RoundToInt(c.value)) << c.value;
}

TEST(RoundToInt, SizesHeldInAnIntKeepToItsEnds)
{
    struct Case {
        float value;
        int rounded;
    };
    for (const Case& c : {Case{640.5f, 641}, Case{-0.5f, -1}, Case{0.49999997f, 0}, Case{3.0e9f, INT_MAX},
                          Case{-3.0e9f, INT_MIN}, Case{std::numeric_limits<float>::quiet_NaN(), 0}})
        EXPECT_EQ(c.rounded, Vabo::RoundToIntSize(c.value)) << c.value;
}
