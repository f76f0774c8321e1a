#include "audio/Decimator.h"

#include "TestSignals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::vector<float> Tone(double frequency, std::size_t count)
{
    return TestSignals::Tone(frequency, count, 44100.0, {{1.0, 0.5}});
}

// Rms after the filter has settled.
double SettledRms(const std::vector<float>& x)
{
    return TestSignals::Rms(x, 200, x.size());
}

std::vector<float> Filtered(const std::vector<float>& in)
{
    Decimator d;
    std::vector<float> out(in.size() / 4 + 1);
    out.resize(std::size_t(d.Process(in.data(), int(in.size()), out.data())));
    return out;
}

} // namespace

TEST(DecimateByMean, AveragesGroupsIntoASeparateBufferAndIgnoresAnIncompleteLastGroup)
{
    // Exactly ten floats on the heap: a read past them would be caught.
    const std::vector<float> in{1, 1, 1, 1, 3, 3, 3, 3, 9, 9};
    std::vector<float> out(2, -1.0f);
    EXPECT_EQ(2, DecimateByMean(in.data(), 4, int(in.size()), out.data()));
    EXPECT_EQ((std::vector<float>{1.0f, 3.0f}), out);
    EXPECT_EQ((std::vector<float>{1, 1, 1, 1, 3, 3, 3, 3, 9, 9}), in);

    std::vector<float> same(10);
    EXPECT_EQ(10, DecimateByMean(in.data(), 1, 10, same.data()));
    EXPECT_EQ(in, same);
    EXPECT_EQ(0, DecimateByMean(in.data(), 4, 0, out.data()));
}

TEST(Decimator, PassesTheTunersBandAtUnityGainAndStopsWhatWouldAlias)
{
    EXPECT_NEAR(1.0, Filtered(std::vector<float>(4096, 1.0f)).back(), 1e-4);
    for (double f : {82.41, 440.0, 1318.5, 3000.0})
        EXPECT_NEAR(0.5 / std::sqrt(2.0), SettledRms(Filtered(Tone(f, 44100))), 0.005) << f << " Hz";

    // 7 kHz lands at 4025 Hz after decimation to 11025 Hz; averaging lets it through.
    const std::vector<float> tone = Tone(7000.0, 44100);
    EXPECT_LT(20.0 * std::log10(SettledRms(Filtered(tone)) / (0.5 / std::sqrt(2.0))), -60.0);
    std::vector<float> averaged(tone.size() / 4);
    DecimateByMean(tone.data(), 4, int(tone.size()), averaged.data());
    EXPECT_GT(SettledRms(averaged), 0.05);
}

TEST(Decimator, BlocksOfAnyLengthGiveTheSameOutputAsOne)
{
    const std::vector<float> in = Tone(440.0, 4000);
    const std::vector<float> whole = Filtered(in);

    Decimator d;
    std::vector<float> joined;
    std::size_t at = 0;
    for (int length : {3, 5, 1, 511, 7, 1000, 2473}) {
        // Each block on the heap by itself: a read past its end would be caught.
        const std::vector<float> block(in.begin() + long(at), in.begin() + long(at) + length);
        std::vector<float> out(block.size() / 4 + 1);
        out.resize(std::size_t(d.Process(block.data(), length, out.data())));
        joined.insert(joined.end(), out.begin(), out.end());
        at += std::size_t(length);
    }
    ASSERT_EQ(whole.size(), joined.size());
    for (std::size_t i = 0; i < whole.size(); ++i)
        EXPECT_FLOAT_EQ(whole[i], joined[i]);
}

// The filter adds each coefficient's two mirrored inputs before multiplying
// and keeps four running sums; every output must still be the plain sum of
// each tap times its input, for odd and even lengths and sums that do not
// fill all four.
TEST(Decimator, GivesThePlainFilterSumForEveryLengthAndFactor)
{
    const std::vector<float> in = TestSignals::Tone(523.25, 3000, 44100.0, {{1.0, 0.6}, {3.0, 0.3}});
    const struct {
        int factor;
        int taps;
    } cases[] = {{4, 127}, {4, 128}, {1, 1}, {2, 2}, {3, 5}, {4, 9}, {4, 10}, {2, 15}};
    for (const auto& c : cases) {
        Decimator d(c.factor, c.taps);
        const std::vector<float>& h = d.Coefficients();
        std::vector<float> out(in.size() / std::size_t(c.factor) + 1);
        out.resize(std::size_t(d.Process(in.data(), int(in.size()), out.data())));
        ASSERT_EQ(in.size() / std::size_t(c.factor), out.size()) << c.taps;
        for (std::size_t n = 0; n < out.size(); ++n) {
            // Output n follows input (n + 1) * factor - 1; inputs before the first are 0.
            const long newest = long(n + 1) * c.factor - 1;
            double sum = 0.0;
            for (int k = 0; k < c.taps && newest - k >= 0; ++k)
                sum += double(h[std::size_t(k)]) * in[std::size_t(newest - k)];
            ASSERT_NEAR(sum, out[n], 1e-6) << c.factor << " x " << c.taps << " taps, output " << n;
        }
    }
}
