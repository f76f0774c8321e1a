#include "audio/PitchAnalysis.h"
#include "audio/PitchTracker.h"

#include "TestSignals.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<float> Window(double frequency, double amplitude, std::size_t length = 2048)
{
    return TestSignals::Tone(frequency, length, 11025.0, {{1.0, amplitude}});
}

} // namespace

TEST(PitchAnalysis, MeasuresAToneAboveTheGateAndKeepsItThroughQuietOrUnusableWindows)
{
    PitchAnalysis analysis;
    const PitchAnalysis::Gate gate;
    EXPECT_FALSE(analysis.Run({}, gate));
    EXPECT_EQ(0, analysis.Runs());
    for (int i = 0; i < 12; ++i)
        EXPECT_TRUE(analysis.Run(Window(440.0, 0.3), gate));
    EXPECT_NEAR(440.0, analysis.Frequency(), 0.5);
    EXPECT_EQ(12, analysis.Runs());
    EXPECT_EQ(2048u, analysis.Spectrum().size());
    const float measured = analysis.Frequency();

    // 1e-5 rms is 20 log10(0.33) - 20 = -29.7, below the threshold of 5.
    EXPECT_FALSE(analysis.Run(Window(880.0, 1.4e-5), gate));
    EXPECT_EQ(measured, analysis.Frequency());
    EXPECT_EQ(13, analysis.Runs());

    // A window the estimator cannot take gives "no pitch" (-1): not averaged in.
    for (int i = 0; i < 10; ++i)
        EXPECT_FALSE(analysis.Run(Window(440.0, 0.3, 1000), gate));
    EXPECT_EQ(measured, analysis.Frequency());
    EXPECT_EQ(23, analysis.Runs());
}

TEST(PitchTracker, AnalysesEachNewWindowOnce)
{
    PitchTracker& tracker = PitchTracker::Instance();
    const std::vector<float> tone = Window(261.63, 0.3);
    float frequency = 0.0f;
    for (int i = 0; i < 12; ++i) {
        tracker.SetWindow(tone.data(), unsigned(tone.size()));
        EXPECT_TRUE(tracker.HasNewWindow());
        frequency = tracker.GetFrequency();
        EXPECT_FALSE(tracker.HasNewWindow());
    }
    EXPECT_NEAR(261.63, frequency, 0.5);
    const int runs = tracker.Runs();
    EXPECT_EQ(frequency, tracker.GetFrequency());
    EXPECT_EQ(runs, tracker.Runs());

    const std::vector<float> quiet = Window(500.0, 1e-6);
    tracker.SetWindow(quiet.data(), unsigned(quiet.size()));
    EXPECT_EQ(frequency, tracker.GetFrequency());
    EXPECT_EQ(runs + 1, tracker.Runs());
}
