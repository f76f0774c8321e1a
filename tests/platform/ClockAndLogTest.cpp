#include "platform/Clock.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

TEST(Clock, ManualClockDrivesTimeAndRestoresTheMonotonicClock)
{
    {
        Platform::ManualClock clock(1000);
        EXPECT_EQ(1000, Platform::NowMs());
        clock.Advance(10);
        EXPECT_EQ(1010, Platform::NowMs());
    }
    const auto a = Platform::NowMs();
    const auto b = Platform::NowMs();
    EXPECT_GE(b, a);
    EXPECT_GT(a, 1010);
}

TEST(Log, CapturesNestAndRestore)
{
    Platform::LogCapture outer;
    Platform::Log("one");
    {
        Platform::LogCapture inner;
        Platform::Log("two");
        EXPECT_TRUE(inner.Contains("two"));
        EXPECT_FALSE(inner.Contains("one"));
    }
    Platform::Log("three");
    ASSERT_EQ(2u, outer.Messages().size());
    EXPECT_EQ("one", outer.Messages()[0]);
    EXPECT_EQ("three", outer.Messages()[1]);
}
