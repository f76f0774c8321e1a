#include "audio/PitchAnalysis.h"
#include "audio/PitchTracker.h"

#include "TestSignals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<float> Window(double frequency, double amplitude, std::size_t length = 2048)
{
    return TestSignals::Tone(frequency, length, 11025.0, {{1.0, amplitude}});
}

double Cents(double f, double reference)
{
    return std::fabs(1200.0 * std::log2(f / reference));
}

struct Change {
    double reachedMs = -1.0; // first shown within 50 cents of the new note
    float between = 0.0f; // a shown frequency more than 50 cents from both notes
};

// One second of one note, then the next, analysed window by window (a hop
// of 128 samples) as the tracker analyses the capture.
Change FollowChange(double from, double to)
{
    const std::vector<std::pair<double, double>> partials{{1, 1.0}, {2, 0.5}, {3, 0.33}, {4, 0.25}};
    std::vector<float> signal = TestSignals::Tone(from, 11025, 11025.0, partials);
    const std::vector<float> next = TestSignals::Tone(to, 11025, 11025.0, partials);
    signal.insert(signal.end(), next.begin(), next.end());
    PitchAnalysis analysis;
    Change change;
    for (size_t end = 2048; end <= signal.size(); end += 128) {
        analysis.Run(std::vector<float>(signal.begin() + long(end - 2048), signal.begin() + long(end)),
                     PitchAnalysis::Gate());
        if (end <= 11025)
            continue;
        const float shown = analysis.Frequency();
        if (change.reachedMs < 0.0 && Cents(shown, to) <= 50.0)
            change.reachedMs = 1000.0 * double(end - 11025) / 11025.0;
        if (Cents(shown, to) > 50.0 && Cents(shown, from) > 50.0 && change.between == 0.0f)
            change.between = shown;
    }
    return change;
}

} // namespace

TEST(PitchAnalysis, AChangeOfNoteShowsTheNewNoteSoonAndNoneInBetween)
{
    // From a low E to A4 the average passed through notes nobody played,
    // and from 1318 Hz down to 880 Hz the jump filter's 25 Hz let it blend.
    for (const auto& [from, to] :
         {std::pair{82.41, 440.0}, std::pair{440.0, 82.41}, std::pair{82.41, 87.31}, std::pair{1318.51, 880.0}}) {
        const Change change = FollowChange(from, to);
        EXPECT_GE(change.reachedMs, 0.0) << from << " -> " << to << " Hz never shown";
        EXPECT_LE(change.reachedMs, 250.0) << from << " -> " << to << " Hz";
        EXPECT_EQ(0.0f, change.between) << from << " -> " << to << " Hz showed " << change.between << " Hz";
    }
}

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

TEST(PitchAnalysis, ANewNoteShowsOnceFiveWindowsAgreeAndQuietOnesDoNotCount)
{
    PitchAnalysis analysis;
    const PitchAnalysis::Gate gate;
    for (int i = 0; i < 5; ++i)
        analysis.Run(Window(440.0, 0.3), gate);
    analysis.Run(Window(660.0, 0.3), gate);
    EXPECT_NEAR(440.0, analysis.Frequency(), 1.0);
    analysis.Run(Window(660.0, 1.4e-5), gate);
    EXPECT_NEAR(440.0, analysis.Frequency(), 1.0) << "a quiet window estimates nothing";
    // The filter's history now holds the first 660 Hz estimate: four more agree.
    for (const double shown : {440.0, 440.0, 440.0, 660.0}) {
        analysis.Run(Window(660.0, 0.3), gate);
        EXPECT_NEAR(shown, analysis.Frequency(), 1.0);
    }
}

// A window whose sound stops three quarters in: its estimate counts towards
// naming a new note, and shows it once five windows agree, but it does not
// move the reading of the note already shown.
TEST(PitchAnalysis, AWindowOverANotesEndNamesANewNoteButLeavesTheShownOneAlone)
{
    const PitchAnalysis::Gate gate;
    auto stopping = [](double hz) {
        std::vector<float> w = Window(hz, 0.3);
        std::fill(w.begin() + 1536, w.end(), 0.0f);
        return w;
    };
    for (const auto stops : {PitchAnalysis::Stops::Found, PitchAnalysis::Stops::Ignored}) {
        const bool found = stops == PitchAnalysis::Stops::Found;
        PitchAnalysis analysis(stops);
        for (int i = 0; i < 12; ++i)
            analysis.Run(Window(440.0, 0.3), gate);
        const float shown = analysis.Frequency();
        EXPECT_EQ(!found, analysis.Run(stopping(443.0), gate));
        EXPECT_EQ(found, shown == analysis.Frequency()) << analysis.Frequency();
        for (int i = 0; i < 5; ++i)
            analysis.Run(stopping(660.0), gate);
        EXPECT_NEAR(660.0, analysis.Frequency(), 2.0) << (found ? "stops found" : "read whole");
    }
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

// The capture may hand over several windows between two readings: only the
// newest is analysed, once, so a new note shows at the reading where an
// analysis of those newest windows alone shows it.
TEST(PitchTracker, AReadingAnalysesOnlyTheNewestOfTheWindowsHandedOver)
{
    const std::size_t hop = 128;
    std::vector<float> signal = TestSignals::Tone(440.0, 11025, 11025.0, {{1.0, 0.3}});
    const std::vector<float> next = TestSignals::Tone(660.0, 11025, 11025.0, {{1.0, 0.3}});
    signal.insert(signal.end(), next.begin(), next.end());
    PitchTracker& tracker = PitchTracker::Instance();
    // Hops between two readings, repeated.
    for (const std::vector<std::size_t>& pattern : std::vector<std::vector<std::size_t>>{{1}, {2}, {4, 1}, {5}}) {
        PitchAnalysis newest;
        std::size_t step = 0;
        for (std::size_t end = 2048; end + 4 * hop <= signal.size(); ++step) {
            const std::size_t hops = pattern[step % pattern.size()];
            for (std::size_t k = 0; k < hops; ++k, end += hop)
                tracker.SetWindow(signal.data() + (end - 2048), 2048);
            const std::size_t last = end - hop;
            newest.Run(std::vector<float>(signal.begin() + long(last - 2048), signal.begin() + long(last)),
                       PitchAnalysis::Gate());
            const int runs = tracker.Runs();
            const float f = tracker.GetFrequency();
            ASSERT_EQ(runs + 1, tracker.Runs()) << "one analysis a reading";
            // Both settle on the first note before it changes, then show the
            // second at the same reading, with the same figures.
            const bool shows = Cents(f, 660.0) <= 50.0;
            if (step < 10)
                continue;
            ASSERT_EQ(Cents(newest.Frequency(), 660.0) <= 50.0, shows) << "hops " << pattern[0] << ", reading " << step;
            if (shows) {
                ASSERT_FLOAT_EQ(newest.Frequency(), f);
            }
        }
    }
}
