#include "audio/Decimator.h"
#include "audio/FftAnalyser.h"
#include "audio/HarmonicCheck.h"

#include "TestSignals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using Partials = std::vector<std::pair<double, double>>;

const float kRate = 11025.0f;
const float kBinWidth = kRate / 2048.0f;

double Cents(double f, double reference)
{
    return 1200.0 * std::log2(f / reference);
}

FftAnalyser& Analyser()
{
    static FftAnalyser analyser;
    if (!analyser.IsInitialised())
        analyser.Init(2048, true, 0.01f, kRate, 16.0f, true, 4);
    return analyser;
}

// Estimates over successive windows of a 44100 Hz capture, decimated as the
// capture side does it (the filter's first samples left out).
std::vector<float> Estimates(const std::vector<float>& capture)
{
    Decimator decimator;
    std::vector<float> low(capture.size() / 4 + 1);
    low.resize(size_t(decimator.Process(capture.data(), int(capture.size()), low.data())));
    std::vector<float> estimates;
    for (size_t end = 2048 + 64; end <= low.size(); end += 300)
        estimates.push_back(
            Analyser().EstimateFrequency(std::vector<float>(low.begin() + long(end - 2048), low.begin() + long(end))));
    return estimates;
}

void ExpectAllNear(const std::vector<float>& estimates, double expected, double cents, const char* what)
{
    ASSERT_FALSE(estimates.empty());
    for (size_t i = 0; i < estimates.size(); ++i)
        EXPECT_LT(std::fabs(Cents(estimates[i], expected)), cents)
            << what << ", window " << i << ": " << estimates[i] << " Hz";
}

// The magnitude spectrum of one 2048-sample window at 11025 Hz.
std::vector<float> SpectrumOf(double fundamental, const Partials& partials)
{
    Analyser().EstimateFrequency(TestSignals::Tone(fundamental, 2048, kRate, partials));
    return Analyser().Magnitudes();
}

} // namespace

TEST(HarmonicCheck, NaiveSawtoothsAreNotReadFromTheirAliases)
{
    // The partials folded back from above 22050 Hz lie 30 dB down, between
    // the true ones; their spacings outvoted the sawtooth's own.
    for (double f : {1108.73, 1318.51})
        ExpectAllNear(Estimates(TestSignals::NaiveSawtooth(f, 44100, 44100.0)), f, 1.0, "naive sawtooth");
}

TEST(HarmonicCheck, WeakFundamentalsAreNotReadAnOctaveUp)
{
    // A low guitar string as a sampled one sounds: the third partial the
    // strongest, the fundamental 28 dB below the second.
    const Partials guitar{{1, 0.0234}, {2, 0.589}, {3, 1.0},    {4, 0.661}, {5, 0.631},
                          {6, 0.046},  {7, 0.172}, {8, 0.0596}, {9, 0.029}, {11, 0.0495}};
    ExpectAllNear(Estimates(TestSignals::Tone(82.41, 44100, 44100.0, guitar)), 82.41, 1.0, "82 Hz");
    // High up only the second partial is left below the capture's cut-off.
    ExpectAllNear(Estimates(TestSignals::Tone(2000.0, 44100, 44100.0, {{1, 0.2}, {2, 1.0}, {3, 0.8}})), 2000.0, 1.0,
                  "2000 Hz");
}

TEST(HarmonicCheck, TheTrueFundamentalFitsBestAndAVotedOneThatFitsStays)
{
    const std::vector<float> weak = SpectrumOf(110.0, {{1, 0.1}, {2, 1.0}, {3, 0.8}, {4, 0.6}, {5, 0.4}});
    const float strongest = *std::max_element(weak.begin(), weak.begin() + 1024);
    const float floor = PresenceFloor(weak, 1024, strongest);
    const std::vector<SpectralPeak> peaks = StrongestPeaks(weak, 1024, 3, 12, floor);
    ASSERT_EQ(5u, peaks.size());
    EXPECT_NEAR(220.0 / kBinWidth, peaks.front().bin, 0.1) << "interpolated between bins";
    const float f = 110.0f / kBinWidth;
    EXPECT_GT(HarmonicFit(weak, peaks, f, floor), HarmonicFit(weak, peaks, 2.0f * f, floor) + 0.5f * strongest)
        << "the octave above leaves the odd partials unexplained";
    EXPECT_GT(HarmonicFit(weak, peaks, f, floor), HarmonicFit(weak, peaks, 0.5f * f, floor) + 0.3f * strongest)
        << "the octave below predicts partials the spectrum lacks";

    const SpectralKernelTable& kernels = Analyser().Kernels();
    EXPECT_NEAR(110.0f, CheckHarmonics(weak, 1024, kRate, 3, 220.0f, 550, kernels), 0.02f);
    EXPECT_EQ(110.01f, CheckHarmonics(weak, 1024, kRate, 3, 110.01f, 550, kernels))
        << "a voted fundamental that fits as well is kept to the last digit";
    EXPECT_EQ(-1.0f, CheckHarmonics(std::vector<float>(2048, 0.0f), 1024, kRate, 3, -1.0f, 550, kernels));
}

TEST(HarmonicCheck, TwoNotesAtOnceAreNotReadAsTheirCommonDivisor)
{
    // As while one note gives way to the next: 440 Hz would explain both
    // as its second and third partials, but has no peak of its own.
    const float estimate =
        Analyser().EstimateFrequency(TestSignals::Tone(440.0, 2048, kRate, {{2, 1.0}, {3, 1.0}, {4, 0.5}, {6, 0.5}}));
    EXPECT_TRUE(std::fabs(Cents(estimate, 880.0)) < 50.0 || std::fabs(Cents(estimate, 1320.0)) < 50.0) << estimate;
}
