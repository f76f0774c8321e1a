#include "app/SpectrumSource.h"

#include "audio/AppState.h"
#include "audio/PitchTracker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

TEST(SpectrumSource, DeliversTheBinsBelowTheUpperFrequencyOncePerAnalysis)
{
    SpectrumSource& source = SpectrumSource::Instance();
    EXPECT_EQ(502, source.Count());
    EXPECT_EQ(502u, source.GetSpectrum().size());

    // A window below the level gate is analysed but gives no spectrum: the
    // values are zero, rather than the raw samples or what earlier tests heard.
    const std::vector<float> zeros(502, 0.0f);
    std::vector<float> quiet(2048);
    for (std::size_t i = 0; i < quiet.size(); ++i)
        quiet[i] = (i % 2 ? 1e-6f : -1e-6f) + 0.9f;
    PitchTracker::Instance().SetWindow(quiet.data(), unsigned(quiet.size()));
    const int before = PitchTracker::Instance().Runs();
    EXPECT_EQ(zeros, source.GetSpectrum());
    EXPECT_EQ(before + 1, PitchTracker::Instance().Runs());

    // 1000 Hz: bin 1000 / (11025 / 2048) = 185.8.
    std::vector<float> tone(2048);
    for (std::size_t i = 0; i < tone.size(); ++i)
        tone[i] = float(0.3 * std::sin(2.0 * M_PI * 1000.0 * double(i) / 11025.0));
    PitchTracker::Instance().SetWindow(tone.data(), unsigned(tone.size()));
    const std::vector<float> values = source.GetSpectrum();
    ASSERT_EQ(502u, values.size());
    const auto peak = std::max_element(values.begin(), values.end()) - values.begin();
    EXPECT_NEAR(185.8, double(peak), 1.0);
    EXPECT_GT(values[std::size_t(peak)], 0.0f);
    EXPECT_LE(*std::max_element(values.begin(), values.end()), 1.0f);
    for (float v : values)
        ASSERT_GE(v, 0.0f);

    // No new window: the same values, not recomputed.
    const int runs = PitchTracker::Instance().Runs();
    EXPECT_EQ(values, source.GetSpectrum());
    EXPECT_EQ(runs, PitchTracker::Instance().Runs());

    // Silence after the tone: the analysis runs and the bars fall to zero,
    // and stay there while the silence lasts.
    for (int window = 0; window < 3; ++window) {
        PitchTracker::Instance().SetWindow(quiet.data(), unsigned(quiet.size()));
        EXPECT_EQ(zeros, source.GetSpectrum()) << "silent window " << window;
        EXPECT_EQ(runs + 1 + window, PitchTracker::Instance().Runs());
    }
    // The tone again: its spectrum is back.
    PitchTracker::Instance().SetWindow(tone.data(), unsigned(tone.size()));
    EXPECT_EQ(values, source.GetSpectrum());

    AppState::Instance().SetMaxFrequency(1000);
    EXPECT_EQ(186, source.Count());
    EXPECT_EQ(186u, source.GetSpectrum().size());
    AppState::Instance().SetMaxFrequency(2700);
}
