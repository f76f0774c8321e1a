#pragma once
// A check of the fundamental that the spacing votes or the fallback chose,
// against the strongest peaks of the spectrum: a fundamental must account
// for the strong partials and must not predict partials that are absent. It
// catches the octave above a weak fundamental, the octave below a high note,
// and spacings between spurious peaks (aliased partials, attack noise).
#include "audio/SpectralKernelTable.h"

#include <vector>

// A peak of the magnitude spectrum: its bin with the fraction from a
// parabola through the log magnitudes around it, its magnitude, and whether
// it stands 5 dB above the bins three away (side lobes and smeared peaks
// do not).
struct SpectralPeak {
    int index = 0;
    float bin = 0.0f;
    float magnitude = 0.0f;
    bool prominent = false;
};

// The magnitude from which a peak or a partial counts as present: 40 dB
// below the strongest peak, and well above the noise: the mean of those of
// bins 0..n-1 that lie below their mean.
float PresenceFloor(const std::vector<float>& magnitudes, int n, float strongest);

// Up to count strongest peaks from bin w to below bin n, strongest first,
// each masking its w-1 neighbours; none below floor.
std::vector<SpectralPeak> StrongestPeaks(const std::vector<float>& magnitudes, int n, int w, int count, float floor);

// How well a fundamental at bin f explains the peaks: the magnitudes of the
// peaks lying on its partials, less a penalty for every partial below the
// highest strong one (up to the 16th) where the spectrum stays below floor.
// upperPartials, when given, receives how many of its second and higher
// partials have a prominent peak.
float HarmonicFit(const std::vector<float>& magnitudes, const std::vector<SpectralPeak>& peaks, float f, float floor,
                  int* upperPartials = nullptr);

// The fundamental in Hz: chosenHz when no other fundamental, taken from the
// strongest peaks and their integer fractions, fits clearly better; else
// that one, refined on its lowest partial that stands out of the spectrum.
// -1 when chosenHz is -1 and nothing fits.
float CheckHarmonics(const std::vector<float>& magnitudes, int n, float sampleRate, int w, float chosenHz,
                     int kernelCount, const SpectralKernelTable& kernels);
