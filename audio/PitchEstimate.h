// Fundamental-frequency estimate from a magnitude spectrum: a candidate bin
// from the spacings between the strongest peaks (so a weak fundamental is
// still found from its harmonics), the strongest peak as fallback, then
// refinement to a fraction of a bin against the spectral kernels.
#pragma once

#include "audio/SpectralKernelTable.h"

#include <map>
#include <optional>
#include <utility>
#include <vector>

// Spacing in bins -> number of votes, ascending by spacing.
using SpacingVotes = std::map<int, int>;

// Frequency in Hz of the fundamental in magnitudes (2n bins of which
// 0..n-1 are searched, bin k at k * sampleRate / (2n) Hz), or -1.0 when the
// spectrum holds no usable peak (silent, not finite, or a peak too near the
// start of the spectrum to refine).
float EstimatePitch(const std::vector<float>& magnitudes, int n, float sampleRate, int kernelCount, float peakWidthHz,
                    const SpectralKernelTable& kernels);

// Index and value of the first largest value in [lo, hi); index -1 and 0.0
// when the range is invalid or holds nothing above 0.
std::pair<int, float> FindMaxInRange(const std::vector<float>& values, int lo, int hi);
bool IsProminentPeak(const std::vector<float>& magnitudes, int p, float marginDb = 5.0f);
void ClearAround(std::vector<float>& values, int centre, int half, int size);
// The k-th strongest peak at or above bin start + w and below n, each peak
// masking its w-1 neighbours; w when that range is too short, -1 when the
// spectrum runs out of peaks.
int NthStrongestPeak(const std::vector<float>& magnitudes, int k, int start, int w, int n);
std::optional<int> FindNearKey(const SpacingVotes& votes, int value, int tolerance);
void CountSpacings(const std::vector<int>& spacings, SpacingVotes& votes);
void HarmonicScore(SpacingVotes& votes, int strongest);
void VoteForPeakPositions(const std::vector<float>& magnitudes, SpacingVotes& votes, int w, int n, int strongest);
int BestSpacingCandidate(const SpacingVotes& votes, int tolerance, int strongest);
int FindFundamentalBySpacing(const std::vector<float>& magnitudes, int n, int w);
int FallbackFundamental(const std::vector<float>& magnitudes, int n, int w);
// f1 from the fallback peak when the strongest peak (f2) lies within 2 Hz
// of its second or third harmonic, else f2.
float ChooseFallbackFrequency(float f1, float f2);
float RefineWithKernels(const std::vector<float>& magnitudes, int n, float sampleRate, int bin, int kernelCount,
                        const SpectralKernelTable& kernels);
// The fundamental from the spacing votes, or from the fallback when no
// spacing wins; before the harmonic check.
float VotedPitch(const std::vector<float>& magnitudes, int n, float sampleRate, int w, int kernelCount,
                 const SpectralKernelTable& kernels);
// Slides b along a, one sum of products per lag (na - nb + 1 values).
void Correlate(const float* a, const float* b, int na, int nb, float* out);
