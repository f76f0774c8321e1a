#include "audio/PitchEstimate.h"

#include "audio/HarmonicCheck.h"
#include "audio/PeakSequence.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

namespace {

void Vote(SpacingVotes& votes, int value)
{
    if (const auto key = FindNearKey(votes, value, 2))
        ++votes[*key];
    else
        votes[value] = 1;
}

float Decibels(float magnitude)
{
    return 20.0f * std::log10(magnitude);
}

} // namespace

std::pair<int, float> FindMaxInRange(const std::vector<float>& values, int lo, int hi)
{
    int index = -1;
    float best = 0.0f;
    if (lo < 0 || hi > static_cast<int>(values.size()) || lo >= hi)
        return {index, best};
    for (int i = lo; i < hi; ++i) {
        if (values[i] > best) {
            best = values[i];
            index = i;
        }
    }
    return {index, best};
}

bool IsProminentPeak(const std::vector<float>& magnitudes, int p, float marginDb)
{
    if (p < 3 || p + 3 >= static_cast<int>(magnitudes.size()))
        return false;
    const float peak = Decibels(magnitudes[p]);
    return Decibels(magnitudes[p - 3]) + marginDb < peak && Decibels(magnitudes[p + 3]) + marginDb < peak;
}

void ClearAround(std::vector<float>& values, int centre, int half, int size)
{
    values[centre] = 0.0f;
    for (int d = 1; d <= half; ++d) {
        if (centre - d >= 1)
            values[centre - d] = 0.0f;
        if (centre + d < size)
            values[centre + d] = 0.0f;
    }
}

int NthStrongestPeak(const std::vector<float>& magnitudes, int k, int start, int w, int n)
{
    if (k < 1)
        return w;
    PeakSequence peaks(magnitudes, start, w, n);
    int index = w;
    for (int i = 0; i < k; ++i)
        index = peaks.Next();
    return index;
}

std::optional<int> FindNearKey(const SpacingVotes& votes, int value, int tolerance)
{
    for (const auto& [key, count] : votes) {
        if (std::abs(key - value) <= tolerance)
            return key;
    }
    return std::nullopt;
}

void CountSpacings(const std::vector<int>& spacings, SpacingVotes& votes)
{
    for (size_t k = 0; k < spacings.size(); ++k) {
        Vote(votes, spacings[k]);
        if (k + 1 < spacings.size())
            Vote(votes, spacings[k] + spacings[k + 1]);
    }
}

void HarmonicScore(SpacingVotes& votes, int strongest)
{
    const auto own = votes.find(strongest);
    if (own == votes.end())
        return;
    for (auto it = votes.upper_bound(strongest + 2); it != votes.end(); ++it) {
        for (int multiple = 2; multiple <= 4; ++multiple) {
            if (std::abs(multiple * strongest - it->first) <= 2)
                own->second += it->second;
        }
    }
}

void VoteForPeakPositions(const std::vector<float>& magnitudes, SpacingVotes& votes, int w, int n, int strongest)
{
    PeakSequence peaks(magnitudes, 0, w, n - strongest);
    peaks.Next();
    for (int k = 2; k <= 4; ++k) {
        const int p = peaks.Next();
        if (p < 0)
            break;
        if (const auto key = FindNearKey(votes, p, 2))
            ++votes[*key];
    }
}

int BestSpacingCandidate(const SpacingVotes& votes, int tolerance, int strongest)
{
    int best = -1;
    int bestCount = 1;
    for (const auto& [key, count] : votes) {
        if (key - tolerance > strongest)
            break;
        if (count > bestCount) {
            best = key;
            bestCount = count;
        }
    }
    return bestCount > 2 ? best : -1;
}

int FindFundamentalBySpacing(const std::vector<float>& magnitudes, int n, int w)
{
    // The first of the peak sequence is the first maximum from bin w on;
    // found without the sequence's copy of the spectrum.
    const int strongest = w >= n - w ? w : FindMaxInRange(magnitudes, w, n).first;
    if (strongest < 0)
        return -1;
    std::vector<int> peaks{strongest};
    PeakSequence following(magnitudes, strongest, w, n);
    for (int i = 1; i <= 7; ++i) {
        const int p = following.Next();
        if (!IsProminentPeak(magnitudes, p))
            break;
        peaks.push_back(p);
    }
    std::sort(peaks.begin(), peaks.end(), std::greater<int>());

    std::vector<int> spacings;
    for (size_t k = 0; k + 1 < peaks.size(); ++k)
        spacings.push_back(peaks[k] - peaks[k + 1]);
    SpacingVotes votes;
    CountSpacings(spacings, votes);
    HarmonicScore(votes, strongest);
    VoteForPeakPositions(magnitudes, votes, w, n, strongest);
    return BestSpacingCandidate(votes, 2, strongest);
}

int FallbackFundamental(const std::vector<float>& magnitudes, int n, int w)
{
    PeakSequence peaks(magnitudes, 0, w, n);
    const int strongest = peaks.Next();
    if (strongest < 0)
        return -1;
    for (int k = 2; k <= 4; ++k) {
        const int p = peaks.Next();
        if (p < 0)
            break;
        if (std::abs(2 * p - strongest) <= 2 && IsProminentPeak(magnitudes, p)
            && Decibels(magnitudes[strongest]) - Decibels(magnitudes[p]) < 15.0f)
            return p;
    }
    return strongest;
}

float RefineWithKernels(const std::vector<float>& magnitudes, int n, float sampleRate, int bin, int kernelCount,
                        const SpectralKernelTable& kernels)
{
    const int size = static_cast<int>(magnitudes.size());
    if (bin < 1 || bin + 1 >= size || kernelCount < 1 || kernelCount > static_cast<int>(kernels.size()))
        return -1.0f;
    const int base = magnitudes[bin + 1] < magnitudes[bin - 1] ? bin - 1 : bin;
    // A peak this close to either end of the spectrum (a tone below about
    // 20 Hz) has no nine bins to refine against.
    if (base - 4 < 0 || base + 4 >= size)
        return -1.0f;

    // The first kernel with the largest positive score, as FindMaxInRange
    // over all the scores would find it.
    const float* around = &magnitudes[base - 4];
    int best = -1;
    float bestScore = 0.0f;
    for (int j = 0; j < kernelCount; ++j) {
        float score = 0.0f;
        Correlate(around, kernels[j].data(), 9, 9, &score);
        if (score > bestScore) {
            bestScore = score;
            best = j;
        }
    }
    if (best < 0)
        return -1.0f;
    const float position = static_cast<float>(base) + static_cast<float>(best) / static_cast<float>(kernelCount);
    return position * sampleRate / static_cast<float>(2 * n);
}

void Correlate(const float* a, const float* b, int na, int nb, float* out)
{
    for (int lag = 0; lag + nb <= na; ++lag) {
        float sum = 0.0f;
        for (int i = 0; i < nb; ++i)
            sum += a[lag + i] * b[i];
        out[lag] = sum;
    }
}

float VotedPitch(const std::vector<float>& magnitudes, int n, float sampleRate, int w, int kernelCount,
                 const SpectralKernelTable& kernels)
{
    const int strongest = FindMaxInRange(magnitudes, w, n).first;
    const int candidate = FindFundamentalBySpacing(magnitudes, n, w);
    if (candidate != -1) {
        // A one-bin peak width leaves no range around the candidate to search.
        const int bin = w / 2 == 0 ? candidate : FindMaxInRange(magnitudes, candidate - w / 2, candidate + w / 2).first;
        if (bin < 0)
            return -1.0f;
        return RefineWithKernels(magnitudes, n, sampleRate, bin, kernelCount, kernels);
    }

    const int fallback = FallbackFundamental(magnitudes, n, w);
    const float f1 = RefineWithKernels(magnitudes, n, sampleRate, fallback, kernelCount, kernels);
    const float f2 = RefineWithKernels(magnitudes, n, sampleRate, strongest, kernelCount, kernels);
    return ChooseFallbackFrequency(f1, f2);
}

float EstimatePitch(const std::vector<float>& magnitudes, int n, float sampleRate, int kernelCount, float peakWidthHz,
                    const SpectralKernelTable& kernels)
{
    if (n < 1 || static_cast<int>(magnitudes.size()) < n || !(sampleRate > 0.0f))
        return -1.0f;
    const int checked = std::min(static_cast<int>(magnitudes.size()), n + 4);
    for (int k = 0; k < checked; ++k) {
        if (!std::isfinite(magnitudes[k]))
            return -1.0f;
    }

    const float binWidth = sampleRate * 0.5f / static_cast<float>(n);
    const int w = static_cast<int>(std::lround(peakWidthHz / binWidth));
    const int strongest = FindMaxInRange(magnitudes, w, n).first;
    if (w < 1 || strongest < 0)
        return -1.0f;

    return CheckHarmonics(magnitudes, n, sampleRate, w, VotedPitch(magnitudes, n, sampleRate, w, kernelCount, kernels),
                          kernelCount, kernels);
}

float ChooseFallbackFrequency(float f1, float f2)
{
    for (int k = 2; k <= 3; ++k) {
        if (std::abs(std::trunc(static_cast<float>(k) * f1 - f2)) < 2.0f)
            return f1;
    }
    return f2;
}
