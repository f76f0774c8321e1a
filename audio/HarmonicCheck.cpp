#include "audio/HarmonicCheck.h"

#include "audio/PeakSequence.h"
#include "audio/PitchEstimate.h"

#include <algorithm>
#include <bitset>
#include <cmath>

namespace {

constexpr int kPeaks = 12;
// Candidates are the first few fractions of the strongest peaks.
constexpr int kCandidatePeaks = 12;
constexpr int kLargestFraction = 8;
constexpr size_t kTriedSize = 2048;
// 37.7 Hz at 11025 Hz over 2048 bins: below the lowest E of a bass.
constexpr float kLowestBin = 7.0f;
constexpr int kHighestPartial = 16;
// A partial counts as present from 40 dB below the strongest peak and well
// above the noise.
constexpr float kPresentRatio = 0.01f;
constexpr float kAboveNoise = 6.0f;
// A peak from 10% of the strongest marks how far the partials must reach.
constexpr float kStrongRatio = 0.1f;
constexpr float kMissingPenalty = 0.1f;
// The chosen fundamental stays unless another fits this much better.
constexpr float kMargin = 0.05f;
constexpr int kAnchorPartials = 4;
// Partials above the first that vouch for a fundamental without a peak.
constexpr int kBuriedPartials = 4;
// Bins a candidate may lie from the peak of its own fundamental.
constexpr float kOwnPeakDistance = 0.4f;
// Bins the refined fundamental may lie from the candidate's place.
constexpr float kAnchorDrift = 0.3f;

float Tolerance(float bin, float f)
{
    return std::min(f * 0.25f, 0.5f + 0.015f * bin);
}

float MaxAround(const std::vector<float>& magnitudes, int centre)
{
    float best = 0.0f;
    for (int i = std::max(0, centre - 1); i <= centre + 1 && i < static_cast<int>(magnitudes.size()); ++i)
        best = std::max(best, magnitudes[i]);
    return best;
}

// The place of the peak at bin p, with the fraction from a parabola through
// the log magnitudes around it.
float PeakPlace(const std::vector<float>& magnitudes, int p)
{
    const float left = magnitudes[p - 1];
    const float right = magnitudes[p + 1];
    const float m = magnitudes[p];
    if (!(left > 0.0f && right > 0.0f && m > 0.0f))
        return static_cast<float>(p);
    const float a = std::log(left), b = std::log(m), c = std::log(right);
    const float curve = a - 2.0f * b + c;
    return curve < 0.0f ? static_cast<float>(p) + std::clamp(0.5f * (a - c) / curve, -0.5f, 0.5f)
                        : static_cast<float>(p);
}

// A local maximum within kOwnPeakDistance of bin f that reaches floor.
bool HasPeakAt(const std::vector<float>& magnitudes, float f, float floor)
{
    const int centre = static_cast<int>(std::lround(f));
    for (int i = centre - 1; i <= centre + 1; ++i) {
        if (i < 1 || i + 1 >= static_cast<int>(magnitudes.size()))
            continue;
        if (magnitudes[i] >= floor && magnitudes[i] >= magnitudes[i - 1] && magnitudes[i] >= magnitudes[i + 1]
            && std::fabs(PeakPlace(magnitudes, i) - f) <= kOwnPeakDistance)
            return true;
    }
    return false;
}

// A fundamental without a peak of its own is more likely the common divisor
// of two notes sounding at once (as while one note gives way to the next)
// than a note; unless the spectrum holds something there, as a fundamental
// under the thump of a plucked bass string, and a series of its partials
// stands out. fit receives HarmonicFit.
bool Credible(const std::vector<float>& magnitudes, const std::vector<SpectralPeak>& peaks, float f, float floor,
              float& fit)
{
    if (HasPeakAt(magnitudes, f, floor)) {
        fit = HarmonicFit(magnitudes, peaks, f, floor);
        return true;
    }
    if (MaxAround(magnitudes, static_cast<int>(std::lround(f))) < floor)
        return false;
    int upperPartials = 0;
    fit = HarmonicFit(magnitudes, peaks, f, floor, &upperPartials);
    return upperPartials >= kBuriedPartials;
}

} // namespace

float PresenceFloor(const std::vector<float>& magnitudes, int n, float strongest)
{
    // The bins below the mean stand for the noise: the mean itself grows
    // with the partials of a rich tone.
    double sum = 0.0;
    for (int i = 0; i < n; ++i)
        sum += magnitudes[i];
    const float mean = static_cast<float>(sum / n);
    double below = 0.0;
    int count = 0;
    for (int i = 0; i < n; ++i) {
        if (magnitudes[i] < mean) {
            below += magnitudes[i];
            ++count;
        }
    }
    const float noise = count > 0 ? static_cast<float>(below / count) : mean;
    return std::max(kPresentRatio * strongest, kAboveNoise * noise);
}

std::vector<SpectralPeak> StrongestPeaks(const std::vector<float>& magnitudes, int n, int w, int count, float floor)
{
    std::vector<SpectralPeak> peaks;
    PeakSequence sequence(magnitudes, 0, w, n);
    while (static_cast<int>(peaks.size()) < count) {
        const int p = sequence.Next();
        if (p < 1 || p + 1 >= n)
            break;
        const float m = magnitudes[p];
        if (m < floor)
            break;
        peaks.push_back({p, PeakPlace(magnitudes, p), m, IsProminentPeak(magnitudes, p)});
    }
    return peaks;
}

float HarmonicFit(const std::vector<float>& magnitudes, const std::vector<SpectralPeak>& peaks, float f, float floor,
                  int* upperPartials)
{
    if (upperPartials)
        *upperPartials = 0;
    if (peaks.empty() || !(f > 0.0f))
        return 0.0f;
    // One broad peak (a note cut off within the window) can show as several,
    // and the side lobes of a note cut off within the window as a series.
    unsigned partialsFound = 0;
    const float strongest = peaks.front().magnitude;
    float explained = 0.0f;
    float reach = 0.0f;
    for (const SpectralPeak& p : peaks) {
        const float h = std::round(p.bin / f);
        if (h < 1.0f || h > kHighestPartial || std::fabs(p.bin - h * f) > Tolerance(p.bin, f))
            continue;
        explained += p.magnitude;
        if (p.prominent)
            partialsFound |= 1u << static_cast<unsigned>(h);
        if (p.magnitude >= kStrongRatio * strongest)
            reach = std::max(reach, p.bin);
    }
    int missing = 0;
    for (int h = 1; h <= kHighestPartial && h * f <= reach + 0.5f; ++h) {
        if (MaxAround(magnitudes, static_cast<int>(std::lround(h * f))) < floor)
            ++missing;
    }
    if (upperPartials)
        *upperPartials = static_cast<int>(std::bitset<32>(partialsFound & ~3u).count());
    return explained - kMissingPenalty * strongest * static_cast<float>(missing);
}

float CheckHarmonics(const std::vector<float>& magnitudes, int n, float sampleRate, int w, float chosenHz,
                     int kernelCount, const SpectralKernelTable& kernels)
{
    if (n < 1 || n > static_cast<int>(magnitudes.size()) || !(sampleRate > 0.0f))
        return chosenHz;
    const int top = FindMaxInRange(magnitudes, w, n).first;
    if (top < 0)
        return chosenHz;
    const float floor = PresenceFloor(magnitudes, n, magnitudes[top]);
    const std::vector<SpectralPeak> peaks = StrongestPeaks(magnitudes, n, w, kPeaks, floor);
    if (peaks.empty())
        return chosenHz;
    const float binWidth = sampleRate * 0.5f / static_cast<float>(n);
    const float chosenFit = chosenHz > 0.0f ? HarmonicFit(magnitudes, peaks, chosenHz / binWidth, floor) : -1e30f;

    float best = 0.0f;
    float bestFit = -1e30f;
    // The fractions of a harmonic series land on each other: each half bin
    // is tried once.
    std::bitset<kTriedSize> tried;
    const int candidatePeaks = std::min(kCandidatePeaks, static_cast<int>(peaks.size()));
    for (int i = 0; i < candidatePeaks; ++i) {
        for (int k = 1; k <= kLargestFraction; ++k) {
            const float f = peaks[i].bin / static_cast<float>(k);
            if (f < kLowestBin)
                break;
            const size_t slot = static_cast<size_t>(2.0f * f + 0.5f);
            if (slot < tried.size()) {
                if (tried[slot])
                    continue;
                tried[slot] = true;
            }
            float fit = 0.0f;
            if (!Credible(magnitudes, peaks, f, floor, fit))
                continue;
            // Of equal fits the higher fundamental: its fractions explain
            // the same peaks.
            if (fit > bestFit || (fit == bestFit && f > best)) {
                bestFit = fit;
                best = f;
            }
        }
    }
    if (bestFit <= chosenFit + kMargin * peaks.front().magnitude)
        return chosenHz;

    // Refine on the strongest of the first partials, so a clean tone keeps
    // the kernels' precision; but not on one the refinement pulls away from
    // its place (a fundamental beside rumble or beside the partial of another
    // note), and not on upper partials, which lie sharp on strings.
    for (const SpectralPeak& p : peaks) {
        const float h = std::round(p.bin / best);
        if (h < 1.0f || h > kAnchorPartials || std::fabs(p.bin - h * best) > Tolerance(p.bin, best)
            || !IsProminentPeak(magnitudes, p.index))
            continue;
        const float refined = RefineWithKernels(magnitudes, n, sampleRate, p.index, kernelCount, kernels) / h;
        if (refined > 0.0f && std::fabs(refined / binWidth - best) <= kAnchorDrift)
            return refined;
    }
    return best * binWidth;
}
