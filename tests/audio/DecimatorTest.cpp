#include "audio/Decimator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::vector<float> Tone(double frequency, int count, double rate = 44100.0, double amplitude = 0.5)
{
    std::vector<float> x(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        x[std::size_t(i)] = float(amplitude * std::sin(2.0 * M_PI * frequency * i / rate));
    return x;
}

double Rms(const std::vector<float>& x, std::size_t from)
{
    double sum = 0.0;
    for (std::size_t i = from; i < x.size(); ++i)
        sum += double(x[i]) * x[i];
    return std::sqrt(sum / double(x.size() - from));
}

std::vector<float> Filtered(const std::vector<float>& in)
{
    Decimator d;
    std::vector<float> out(in.size() / 4 + 1);
    out.resize(std::size_t(d.Process(in.data(), int(in.size()), out.data())));
    return out;
}

std::vector<float> Averaged(const std::vector<float>& in)
{
    std::vector<float> out(in.size() / 4);
    DecimateByMean(in.data(), 4, int(in.size()), out.data());
    return out;
}

} // namespace

TEST(DecimateByMean, AveragesGroupsIntoASeparateBuffer)
{
    const std::vector<float> in{1, 1, 1, 1, 3, 3, 3, 3};
    std::vector<float> out(2, -1.0f);
    EXPECT_EQ(2, DecimateByMean(in.data(), 4, 8, out.data()));
    EXPECT_EQ((std::vector<float>{1.0f, 3.0f}), out);
    EXPECT_EQ((std::vector<float>{1, 1, 1, 1, 3, 3, 3, 3}), in);

    std::vector<float> same(8);
    EXPECT_EQ(8, DecimateByMean(in.data(), 1, 8, same.data()));
    EXPECT_EQ(in, same);
    EXPECT_EQ(0, DecimateByMean(in.data(), 4, 0, out.data()));
}

TEST(DecimateByMean, IgnoresAnIncompleteLastGroup)
{
    // Exactly ten floats on the heap: a read past them would be caught.
    const std::vector<float> in{2, 2, 2, 2, 4, 4, 4, 4, 9, 9};
    std::vector<float> out(2);
    EXPECT_EQ(2, DecimateByMean(in.data(), 4, int(in.size()), out.data()));
    EXPECT_EQ((std::vector<float>{2.0f, 4.0f}), out);
}

TEST(Decimator, PassesTheTunersBandAtUnityGain)
{
    EXPECT_NEAR(1.0, Filtered(std::vector<float>(4096, 1.0f)).back(), 1e-4);
    for (double f : {82.41, 440.0, 1318.5, 3000.0}) {
        const std::vector<float> out = Filtered(Tone(f, 44100));
        EXPECT_NEAR(0.5 / std::sqrt(2.0), Rms(out, 200), 0.005) << f << " Hz";
    }
}

TEST(Decimator, StopsWhatWouldAliasWhereAveragingLetsItThrough)
{
    // 7 kHz lands at 4025 Hz after decimation to 11025 Hz.
    const std::vector<float> tone = Tone(7000.0, 44100);
    const double filtered = Rms(Filtered(tone), 200);
    const double averaged = Rms(Averaged(tone), 200);
    EXPECT_LT(20.0 * std::log10(filtered / (0.5 / std::sqrt(2.0))), -60.0);
    EXPECT_GT(averaged, 0.05);
}

TEST(Decimator, BlocksOfAnyLengthGiveTheSameOutputAsOne)
{
    const std::vector<float> in = Tone(440.0, 4000);
    const std::vector<float> whole = Filtered(in);

    Decimator d;
    std::vector<float> joined;
    std::size_t at = 0;
    for (int length : {3, 5, 1, 511, 7, 1000, 2473}) {
        std::vector<float> block(in.begin() + long(at), in.begin() + long(at + std::size_t(length)));
        std::vector<float> out(block.size() / 4 + 1);
        out.resize(std::size_t(d.Process(block.data(), length, out.data())));
        joined.insert(joined.end(), out.begin(), out.end());
        at += std::size_t(length);
    }
    ASSERT_EQ(whole.size(), joined.size());
    for (std::size_t i = 0; i < whole.size(); ++i)
        EXPECT_FLOAT_EQ(whole[i], joined[i]);
}
