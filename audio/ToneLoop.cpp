#include "audio/ToneLoop.h"

#include <cmath>

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
    // Repeating a short loop of a few periods would play the loop's own pitch,
    // off by up to a few cents, and a buffer of whole loops ends off zero: the
    // buffer is the sine itself, cut where it rises through zero.
    const int length = LastRisingZeroCrossing(frequency, kToneRate, 0.009f, kToneMaxSamples);
    if (length > 0)
        return static_cast<float>(length) * 0.022675738f;
    return static_cast<float>(kToneMaxSamples);
}
