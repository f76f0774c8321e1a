#include "audio/WaveGenerators.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

TEST(WaveGenerators, BeatsComeFromWholeMillisecondsClicksAreCutToTheBeatAndTonesToTenSeconds)
{
    EXPECT_EQ(500, BeatMs(120));
    EXPECT_EQ(526, BeatMs(114));
    // The samples of a beat, which the beat displays count in too.
    EXPECT_EQ(23197, BeatSamples(114, 44100));
    EXPECT_EQ(22050, BeatSamples(120, 44100));
    EXPECT_EQ(529, BeatSamples(5000, 44100));
    EXPECT_EQ(264600, BeatSamples(10, 44100));
    EXPECT_EQ(0, BeatSamples(0, 44100));
    std::vector<float> beat;
    BuildBeatBuffer(beat, 44100, 120, ToneClick(440.0f));
    EXPECT_EQ(22050u, beat.size());
    BuildBeatBuffer(beat, 44100, 114, ToneClick(440.0f));
    ASSERT_EQ(23197u, beat.size());
    // The click fills half the beat, fades to 0 and is followed by silence.
    EXPECT_NE(0.0f, beat[11590]);
    // A tone click is the plain sine, at full scale from its first sample;
    // only its end is faded.
    const double step = 2.0 * M_PI * 440.0 / 44100.0;
    for (std::size_t i : {0u, 1u, 25u, 87u, 88u, 500u, 11497u})
        EXPECT_FLOAT_EQ(std::sin(float(double(i) * step)), beat[i]) << i;
    EXPECT_LE(*std::max_element(beat.begin(), beat.end()), 1.0f);
    EXPECT_GE(*std::max_element(beat.begin(), beat.end()), 0.999f);
    for (std::size_t i = 11597; i < beat.size(); ++i)
        ASSERT_EQ(0.0f, beat[i]) << i;

    ASSERT_TRUE(BuildBeatBuffer(beat, 44100, 5000, [](std::vector<float>& click, int, float, int) {
        click.assign(5000, 1.0f);
        return true;
    }));
    ASSERT_EQ(529u, beat.size());
    EXPECT_EQ(1.0f, beat[0]);
    EXPECT_EQ(0.0f, beat[528]);
    EXPECT_FALSE(BuildBeatBuffer(beat, 44100, 0, ToneClick(440.0f)));
    EXPECT_TRUE(beat.empty());
    // A generator that fails or makes nothing makes no beat (not a beat of silence).
    EXPECT_FALSE(BuildBeatBuffer(beat, 44100, 120, [](std::vector<float>&, int, float, int) { return false; }));
    EXPECT_TRUE(beat.empty());
    EXPECT_FALSE(BuildBeatBuffer(beat, 44100, 120, [](std::vector<float>&, int, float, int) { return true; }));
    EXPECT_TRUE(beat.empty());

    // Tones stop at ten seconds; a fade-out scales linearly.
    std::vector<float> tone;
    GenerateSine(440.0f, 25000.0f, 44100, tone);
    EXPECT_EQ(441000u, tone.size());
    GenerateSine(tone, 1000, 2.5f, 100.0f);
    EXPECT_EQ(3u, tone.size());

    std::vector<float> v(4, 1.0f);
    FadeOut(v, 10);
    EXPECT_EQ((std::vector<float>{0.3f, 0.2f, 0.1f, 0.0f}), v);
}

// The reference tone's generator: the sine of GenerateSine, as long, to
// within the rounding of that one's float phase, and true to the exact sine
// to within a float's precision all through ten seconds.
TEST(WaveGenerators, TheLongSineIsTheSineToAFloatsPrecisionThroughTenSeconds)
{
    for (const float f : {16.35f, 440.0f, 6645.0f}) {
        std::vector<float> quick, plain;
        GenerateLongSine(f, 10000.0f, 44100, quick);
        GenerateSine(f, 10000.0f, 44100, plain);
        ASSERT_EQ(plain.size(), quick.size()) << f;
        const double step = double(f) * 6.283185307179586 / 44100.0;
        // Beyond the plain sine's own error (its phase rounded to a float:
        // 0.016 at 6645 Hz after ten seconds), and beyond a float's rounding.
        double beyondPlain = 0.0, fromTrue = 0.0;
        for (std::size_t i = 0; i < quick.size(); ++i) {
            const double exact = std::sin(double(i) * step);
            beyondPlain = std::max(beyondPlain, std::fabs(double(quick[i]) - plain[i]) - std::fabs(plain[i] - exact));
            fromTrue = std::max(fromTrue, std::fabs(double(quick[i]) - exact));
        }
        EXPECT_LT(beyondPlain, 1e-7) << f;
        EXPECT_LT(fromTrue, 1e-7) << f;
        EXPECT_EQ(0.0f, quick[0]) << f;
    }
}
