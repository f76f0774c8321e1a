#include "audio/SampleBlockBuffer.h"
#include "audio/SlidingSampleWindow.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace {

struct Recorder {
    std::vector<std::vector<float>> deliveries;
    SampleSink Sink()
    {
        return [this](const float* s, unsigned n) { deliveries.emplace_back(s, s + n); };
    }
};

std::vector<float> Range(float from, int n)
{
    std::vector<float> v(static_cast<std::size_t>(n));
    std::iota(v.begin(), v.end(), from);
    return v;
}

} // namespace

TEST(SampleBlockBuffer, DeliversEveryFullBlockTakingWhatFits)
{
    Recorder r;
    SampleBlockBuffer buffer(512, r.Sink());
    for (int call = 1; call <= 8; ++call) {
        const std::vector<float> s = Range(float(call * 1000), 128);
        buffer.Push(s.data(), 128);
        EXPECT_EQ(std::size_t(call / 4), r.deliveries.size()) << call;
    }
    EXPECT_EQ(5000.0f, r.deliveries[1][0]);
    EXPECT_EQ(8127.0f, r.deliveries[1][511]);

    // It takes what fits and passes large pushes straight on.
    r.deliveries.clear();
    const std::vector<float> first = Range(0, 384);
    buffer.Push(first.data(), 384);
    const std::vector<float> second = Range(1000, 200);
    buffer.Push(second.data(), 200);
    ASSERT_EQ(1u, r.deliveries.size());
    EXPECT_EQ(1127.0f, r.deliveries[0][511]);
    EXPECT_EQ(0, buffer.Fill());

    buffer.Push(first.data(), 10);
    const std::vector<float> whole = Range(5000, 512);
    buffer.Push(whole.data(), 512);
    ASSERT_EQ(2u, r.deliveries.size());
    EXPECT_EQ(whole, r.deliveries[1]);
    EXPECT_EQ(10, buffer.Fill());
}

TEST(SlidingSampleWindow, DeliversTheNewestSamplesEveryHop)
{
    Recorder r;
    SlidingSampleWindow window(8, 4, r.Sink());
    for (int push = 0; push < 6; ++push) {
        const std::vector<float> s = Range(float(push * 2), 2);
        window.Push(s.data(), 2);
    }
    ASSERT_EQ(3u, r.deliveries.size());
    EXPECT_EQ((std::vector<float>{0, 0, 0, 0, 0, 1, 2, 3}), r.deliveries[0]);
    EXPECT_EQ((std::vector<float>{4, 5, 6, 7, 8, 9, 10, 11}), r.deliveries[2]);

    const std::vector<float> big = Range(100, 8);
    window.Push(big.data(), 8);
    EXPECT_EQ(big, r.deliveries.back());
}

TEST(SampleBuffers, WithoutASinkNothingIsCalled)
{
    SampleBlockBuffer buffer(4, SampleSink());
    SlidingSampleWindow window(4, 2, SampleSink());
    const std::vector<float> s = Range(0, 8);
    buffer.Push(s.data(), 8);
    buffer.Push(s.data(), 4);
    window.Push(s.data(), 2);
    window.Push(s.data(), 8);
    SUCCEED();
}
