#include "audio/ToneLoop.h"

#include "audio/Complex.h"

#include <cmath>

int FindSineLoopLength(float frequency, int sampleRate, float tolerance, int maxSamples)
{
    if (maxSamples < 3 || sampleRate <= 0)
        return 0;
    const float step = frequency * Complex::kTwoPi / static_cast<float>(sampleRate);
    const auto sample = [step](int i) { return i == 0 ? 0.0f : static_cast<float>(std::sin(i * step)); };
    for (int i = 2; i < maxSamples; ++i) {
        const float previous = sample(i - 1);
        if (std::fabs(previous) < tolerance && sample(i) > previous && sample(i - 2) < previous)
            return i;
    }
    return 0;
}

int LastRisingZeroCrossing(float frequency, int sampleRate, float tolerance, int maxSamples)
{
    if (!(frequency > 0.0f) || sampleRate <= 0)
        return 0;
    const double pi = 3.14159265358979323846;
    const double cycles = static_cast<double>(frequency) / sampleRate;
    for (int length = maxSamples; length >= 2; --length) {
        const double phase = 2.0 * pi * (cycles * length - std::floor(cycles * length));
        if (std::fabs(std::sin(phase)) < tolerance && std::cos(phase) > 0.0)
            return length;
    }
    return 0;
}

float ReferenceToneDuration(float frequency)
{
    const int n = FindSineLoopLength(frequency, kToneRate, 0.009f, 1000) - 1;
    // A loop of at least half a period ends on a crossing the search really
    // found; below about 63 Hz the first step is already within tolerance of
    // zero and the "loop" is one sample, so the buffer itself is cut at its
    // last rising zero crossing instead.
    if (n > 0 && n < kToneMaxSamples && 2.0 * n * frequency >= kToneRate) {
        const int length = n * (kToneMaxSamples / n);
        return static_cast<float>(length) * 0.022675738f;
    }
    const int length = LastRisingZeroCrossing(frequency, kToneRate, 0.009f, kToneMaxSamples);
    if (length > 0)
        return static_cast<float>(length) * 0.022675738f;
    return static_cast<float>(kToneMaxSamples);
}
