#include "audio/FrequencyFilter.h"
#include "audio/MovingAverage.h"
#include "audio/SignalLevel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

TEST(FrequencyFilter, RejectsIsolatedJumpsAndFollowsLastingOnes)
{
    FrequencyFilter filter;
    for (float f : {440.0f, 441.0f, 439.0f, 440.5f, 440.0f})
        filter.Filter(f);
    EXPECT_EQ(440.0f, filter.LastAccepted());
    EXPECT_EQ(445.0f, filter.Filter(445.0f));
    EXPECT_EQ(440.0f, filter.LastAccepted());
    EXPECT_EQ(440.0f, filter.Filter(880.0f));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(440.0f, filter.Filter(880.0f + float(i)));
    EXPECT_EQ(881.0f, filter.Filter(881.0f));
    EXPECT_EQ(881.0f, filter.LastAccepted());
}

TEST(FrequencyFilter, AJumpIsMeasuredInCentsAndItsAcceptanceMarksANewNote)
{
    // 16 Hz is a minor third at 82 Hz: an isolated value there is a jump.
    FrequencyFilter low;
    for (float f : {82.4f, 82.5f, 82.3f, 82.4f, 82.4f})
        low.Filter(f);
    EXPECT_EQ(82.4f, low.Filter(98.0f));
    EXPECT_FALSE(low.AcceptedJump());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(82.4f, low.Filter(98.0f));
    EXPECT_EQ(98.0f, low.Filter(98.0f));
    EXPECT_TRUE(low.AcceptedJump());
    EXPECT_EQ(98.2f, low.Filter(98.2f));
    EXPECT_FALSE(low.AcceptedJump()) << "only the value that took the jump marks it";

    // 46 Hz at 2000 Hz is 40 cents of vibrato, not a new note.
    FrequencyFilter high;
    high.Filter(2000.0f);
    EXPECT_TRUE(high.AcceptedJump()) << "the first value starts the first note";
    EXPECT_EQ(2046.0f, high.Filter(2046.0f));
    EXPECT_FALSE(high.AcceptedJump());
    EXPECT_EQ(2000.0f, high.LastAccepted());
}

// A value a semitone or more from the note is held back until the five
// newest values agree on it; one near the note passes at once, even among
// others held back.
TEST(FrequencyFilter, HoldsANewNoteBackUntilFiveValuesAgree)
{
    FrequencyFilter filter;
    const std::pair<float, float> steps[] = {{110.0f, 110.0f}, {110.2f, 110.2f}, {164.8f, 110.0f}, {164.8f, 110.0f},
                                             {109.9f, 109.9f}, {164.8f, 110.0f}, {164.9f, 110.0f}, {164.7f, 110.0f},
                                             {164.8f, 110.0f}, {165.0f, 165.0f}, {110.0f, 165.0f}, {164.8f, 164.8f}};
    for (const auto& [in, out] : steps)
        EXPECT_EQ(out, filter.Filter(in)) << in;
}

TEST(MovingAverage, WeighsRecentValuesAndKeepsTheLimit)
{
    MovingAverage average(10);
    EXPECT_EQ(0.0, average.Value());
    average.Push(100.0);
    EXPECT_NEAR(106.6667, average.Push(110.0), 1e-4);
    for (int i = 0; i < 9; ++i)
        average.Push(200.0);
    EXPECT_EQ(10, average.Size());
    EXPECT_NEAR(200.0 - 90.0 * std::pow(1.0 - 2.0 / 11.0, 9), average.Value(), 1e-9);
    average.Clear();
    EXPECT_EQ(0, average.Size());
    EXPECT_EQ(300.0, average.Push(300.0)) << "a cleared average starts from the new value alone";
}

TEST(SignalLevel, RmsIgnoresTheMeanAndTheGateNeedsMoreThanTheThreshold)
{
    EXPECT_FLOAT_EQ(1.0f, ComputeRms({2.0f, 0.0f, 2.0f, 0.0f}));
    // 0.01 rms on a full scale of 32768: 20 log10(327.68) = 50.31 dB; minus 20 leaves 30.31.
    const std::vector<float> square{0.01f, -0.01f, 0.01f, -0.01f};
    EXPECT_TRUE(LevelAbove(square, 30.0f, 32768.0f, 20.0f, 100.0f));
    EXPECT_FALSE(LevelAbove(square, 30.5f, 32768.0f, 20.0f, 100.0f));
    // The gate on the application's level scale is the same.
    EXPECT_TRUE(IsLevelAbove(square, 30.0f));
    EXPECT_FALSE(IsLevelAbove(square, 30.5f));
    // 0.5 rms on a full scale of 200: exactly 40 dB.
    const std::vector<float> exact{0.5f, -0.5f};
    EXPECT_FALSE(LevelAbove(exact, 40.0f, 200.0f, 0.0f, 1.0f));
    EXPECT_TRUE(LevelAbove(exact, 39.99f, 200.0f, 0.0f, 1.0f));
    EXPECT_FALSE(LevelAbove({}, -1000.0f, 32768.0f, 20.0f, 100.0f));
    EXPECT_FALSE(LevelAbove({0.5f, 0.5f}, -1000.0f, 32768.0f, 20.0f, 100.0f));
    EXPECT_NEAR(0.3031, LevelDb(square, 32768.0f, 100.0f, 20.0f), 1e-4);
}

// Windows of 2048 samples at 11025 Hz read in stretches of 256: where a cut,
// a damped end or a fast decay leaves the sound.
TEST(SignalLevel, ASoundStopsWhereItFallsAndStaysQuietNotWhereItDiesAway)
{
    auto shaped = [](double (*gain)(double seconds)) {
        std::vector<float> window(2048);
        for (std::size_t i = 0; i < window.size(); ++i) {
            const double t = double(i) / 11025.0;
            window[i] =
                float(gain(t) * (0.3 * std::sin(2.0 * M_PI * 110.0 * t) + 0.1 * std::sin(2.0 * M_PI * 330.0 * t)));
        }
        return window;
    };
    const struct {
        const char* sound;
        std::vector<float> window;
        std::size_t sounded;
    } cases[] = {
        {"steady", shaped([](double) { return 1.0; }), 2048},
        {"cut at 1000", shaped([](double t) { return t < 1000 / 11025.0 ? 1.0 : 0.0; }), 1024},
        {"cut at 1536", shaped([](double t) { return t < 1536 / 11025.0 ? 1.0 : 0.0; }), 1536},
        {"cut at 100", shaped([](double t) { return t < 100 / 11025.0 ? 1.0 : 0.0; }), 256},
        {"cut in the newest stretch", shaped([](double t) { return t < 1900 / 11025.0 ? 1.0 : 0.0; }), 2048},
        // A damped string: 30 dB over 46 ms from 70 ms on, then a tail that
        // dies slowly.
        {"damped", shaped([](double t) {
             return std::pow(10.0, -(t < 0.07 ? 0.0 : std::min(t - 0.07, 0.046) * 650.0 + (t - 0.07) * 10.0) / 20.0);
         }),
         1024},
        {"dying 150 dB/s", shaped([](double t) { return std::pow(10.0, -150.0 * t / 20.0); }), 2048},
        {"dying 300 dB/s", shaped([](double t) { return std::pow(10.0, -300.0 * t / 20.0); }), 2048},
        // A rest, then the next note: nothing stopped.
        {"cut and struck again", shaped([](double t) { return t < 0.06 || t > 0.12 ? 1.0 : 0.0; }), 2048},
        {"silence", shaped([](double) { return 0.0; }), 2048},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.sounded, SoundBeforeStop(c.window, 256, 18.0f)) << c.sound;
    EXPECT_EQ(3u, SoundBeforeStop({1.0f, -1.0f, 0.0f}, 256, 18.0f)) << "shorter than two stretches";
}
