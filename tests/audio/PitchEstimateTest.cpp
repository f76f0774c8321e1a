#include "audio/PitchEstimate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

const int kN = 1024;
const float kRate = 11025.0f;

std::vector<float> Spectrum(const std::vector<std::pair<int, float>>& peaks)
{
    std::vector<float> magnitudes(2 * kN, 1.0f);
    for (const auto& [bin, value] : peaks)
        magnitudes[bin] = value;
    return magnitudes;
}

float Db(float decibels)
{
    return std::pow(10.0f, decibels / 20.0f);
}

const SpectralKernelTable& Kernels()
{
    static const SpectralKernelTable table = [] {
        SpectralKernelTable kernels;
        LoadPrecomputedKernels(kernels);
        return kernels;
    }();
    return table;
}

} // namespace

TEST(PitchEstimate, PeakSearchKeepsTheFirstMaximumMasksNeighboursAndRejectsBadRanges)
{
    const std::vector<float> values{1.0f, 3.0f, 2.0f, 3.0f};
    EXPECT_EQ(FindMaxInRange(values, 0, 4), std::make_pair(1, 3.0f));
    EXPECT_EQ(FindMaxInRange(values, 2, 4), std::make_pair(3, 3.0f));
    for (auto [lo, hi] : {std::pair{-1, 3}, std::pair{2, 2}, std::pair{3, 2}, std::pair{0, 5}})
        EXPECT_EQ(FindMaxInRange(values, lo, hi), std::make_pair(-1, 0.0f)) << lo << ".." << hi;
    EXPECT_EQ(FindMaxInRange(std::vector<float>(8, 0.0f), 0, 8).first, -1);

    // The strongest peaks mask their neighbours.
    const auto mags = Spectrum({{100, 50.0f}, {101, 49.0f}, {102, 48.0f}, {103, 47.0f}, {300, 10.0f}});
    EXPECT_EQ(NthStrongestPeak(mags, 1, 0, 3, kN), 100);
    EXPECT_EQ(NthStrongestPeak(mags, 2, 0, 3, kN), 103) << "101 and 102 lie within w - 1 of 100";
    EXPECT_EQ(NthStrongestPeak(mags, 3, 0, 3, kN), 300);
    EXPECT_EQ(NthStrongestPeak(mags, 1, 97, 3, kN), 100);
    EXPECT_EQ(NthStrongestPeak(mags, 1, 98, 3, kN), 101) << "the search starts at start + w";
    EXPECT_EQ(NthStrongestPeak(mags, 1, 0, 3, 5), 3) << "a range too short answers w";
    EXPECT_EQ(NthStrongestPeak(mags, 0, 0, 3, kN), 3);
    EXPECT_EQ(NthStrongestPeak(std::vector<float>(2 * kN, 0.0f), 1, 0, 3, kN), -1);
}

TEST(PitchEstimate, ProminenceNeedsFiveDecibelsOnBothSides)
{
    auto mags = Spectrum({{100, Db(6.0f)}});
    EXPECT_TRUE(IsProminentPeak(mags, 100));
    mags[103] = Db(1.0f);
    EXPECT_FALSE(IsProminentPeak(mags, 100)) << "exactly 5 dB is not enough";
    EXPECT_FALSE(IsProminentPeak(mags, 1));
    EXPECT_FALSE(IsProminentPeak(mags, 2 * kN - 2));
}

TEST(PitchEstimate, SpacingVotesScoresAndCandidates)
{
    SpacingVotes votes;
    CountSpacings({100, 100, 100}, votes);
    EXPECT_EQ(votes, (SpacingVotes{{100, 3}, {200, 2}}));
    HarmonicScore(votes, 100);
    EXPECT_EQ(votes, (SpacingVotes{{100, 5}, {200, 2}}));

    SpacingVotes near;
    CountSpacings({20, 21, 19}, near);
    EXPECT_EQ(near, (SpacingVotes{{20, 3}, {41, 2}})) << "votes within 2 bins go to the first key found";
    SpacingVotes absent{{50, 1}, {200, 4}};
    HarmonicScore(absent, 100);
    EXPECT_EQ(absent, (SpacingVotes{{50, 1}, {200, 4}})) << "no score unless the strongest bin is a spacing";

    // The best candidate needs three votes and lies near the strongest peak.
    EXPECT_EQ(BestSpacingCandidate({{10, 3}, {20, 3}}, 2, 50), 10) << "ties keep the smaller spacing";
    EXPECT_EQ(BestSpacingCandidate({{10, 2}, {20, 2}}, 2, 50), -1);
    EXPECT_EQ(BestSpacingCandidate({{10, 1}, {60, 5}}, 2, 50), -1) << "60 lies more than 2 bins above 50";
    EXPECT_EQ(BestSpacingCandidate({{52, 3}}, 2, 50), 52);
    EXPECT_EQ(FindNearKey({{10, 1}, {12, 1}}, 13, 2), 12);
    EXPECT_EQ(FindNearKey({{10, 1}, {12, 1}}, 11, 2), 10);
    EXPECT_FALSE(FindNearKey({{10, 1}}, 13, 2));

    const auto evenlySpaced = Spectrum({{100, 1000.0f}, {200, 800.0f}, {300, 600.0f}, {400, 500.0f}});
    EXPECT_EQ(FindFundamentalBySpacing(evenlySpaced, kN, 3), 100);
}

TEST(PitchEstimate, FallbackPrefersAStrongSubharmonic)
{
    const float strongest = Db(60.0f);
    EXPECT_EQ(FallbackFundamental(Spectrum({{101, strongest}, {50, Db(50.0f)}}), kN, 3), 50);
    EXPECT_EQ(FallbackFundamental(Spectrum({{101, strongest}, {50, Db(40.0f)}}), kN, 3), 101);
    EXPECT_EQ(FallbackFundamental(Spectrum({{101, strongest}, {60, Db(50.0f)}}), kN, 3), 101);

    EXPECT_EQ(ChooseFallbackFrequency(110.0f, 220.5f), 110.0f);
    EXPECT_EQ(ChooseFallbackFrequency(110.0f, 223.0f), 223.0f);
    EXPECT_EQ(ChooseFallbackFrequency(110.0f, 330.9f), 110.0f);
}

TEST(PitchEstimate, RefinementSelectsTheMatchingKernel)
{
    const SpectralKernelTable& kernels = Kernels();
    const int base = 200;
    for (int j : {0, 100, 275, 548}) {
        std::vector<float> mags(2 * kN, 0.0f);
        for (int d = -4; d <= 4; ++d)
            mags[base + d] = kernels[j][d + 4];
        const float expected = (base + j / 550.0f) * kRate / (2 * kN);
        EXPECT_FLOAT_EQ(RefineWithKernels(mags, kN, kRate, base, 550, kernels), expected) << "kernel " << j;
        // Kernel 275 is half-way between two bins: the lower one is the peak, refined by half a bin.
        EXPECT_TRUE(j != 275 || FindMaxInRange(mags, 3, kN).first == base);
    }
    EXPECT_EQ(kernels[275][4], kernels[275][5]);
}

TEST(PitchEstimate, SpectraWithoutAUsablePeakGiveNoEstimate)
{
    const SpectralKernelTable& kernels = Kernels();
    EXPECT_EQ(EstimatePitch(std::vector<float>(2 * kN, 0.0f), kN, kRate, 550, 16.0f, kernels), -1.0f);
    auto nan = Spectrum({{100, 1000.0f}});
    nan[40] = std::nanf("");
    EXPECT_EQ(EstimatePitch(nan, kN, kRate, 550, 16.0f, kernels), -1.0f);
    EXPECT_EQ(EstimatePitch(Spectrum({{4, 1000.0f}, {3, 900.0f}}), kN, kRate, 550, 16.0f, kernels), -1.0f)
        << "a peak at the bottom of the spectrum cannot be refined";
    EXPECT_EQ(EstimatePitch(std::vector<float>(10, 1.0f), kN, kRate, 550, 16.0f, kernels), -1.0f);
    EXPECT_EQ(RefineWithKernels(Spectrum({{100, 1000.0f}}), kN, kRate, 100, 600, kernels), -1.0f)
        << "more kernels asked for than the table holds";
}

TEST(PitchEstimate, PeakSearchMatchesRepeatedClearing)
{
    // The literal procedure: a fresh copy, k times the strongest bin of
    // [start + w, n) then clearing w - 1 bins either side of it.
    const auto reference = [](std::vector<float> copy, int k, int start, int w, int n) {
        if (k < 1 || start + w >= n - w)
            return w;
        int index = w;
        for (int i = 0; i < k; ++i) {
            index = FindMaxInRange(copy, start + w, n).first;
            if (index < 0)
                return -1;
            ClearAround(copy, index, w - 1, n);
        }
        return index;
    };
    std::mt19937 random(3);
    std::exponential_distribution<float> level(1.0f);
    for (int trial = 0; trial < 40; ++trial) {
        std::vector<float> mags(2 * kN);
        for (float& m : mags)
            m = trial % 5 == 0 ? std::floor(level(random) * 2.0f) : level(random);
        const int start = trial * 23 % 300;
        const int n = kN - trial * 7;
        for (int w : {1, 3, 5}) {
            for (int k = 1; k <= 8; ++k)
                ASSERT_EQ(NthStrongestPeak(mags, k, start, w, n), reference(mags, k, start, w, n))
                    << "trial " << trial << " w " << w << " k " << k;
        }
    }
}
