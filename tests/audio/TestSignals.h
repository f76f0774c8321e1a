#pragma once
// Signals the audio tests feed in: harmonic tones and their rms, and what a
// playback buffer's callback writes.
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

namespace TestSignals {

// A sum of sines at multiples of the fundamental, each {multiple, amplitude}.
inline std::vector<float> Tone(double fundamental, std::size_t n, double rate,
                               const std::vector<std::pair<double, double>>& partials = {{1.0, 1.0}})
{
    std::vector<float> samples(n);
    for (std::size_t i = 0; i < n; ++i) {
        double v = 0.0;
        for (const auto& [multiple, amplitude] : partials)
            v += amplitude * std::sin(2.0 * M_PI * fundamental * multiple * double(i) / rate);
        samples[i] = float(v);
    }
    return samples;
}

// A sawtooth computed sample by sample, as simple synthesisers make it: its
// partials above half the rate fold back as inharmonic ones.
inline std::vector<float> NaiveSawtooth(double frequency, std::size_t n, double rate, double amplitude = 0.5)
{
    std::vector<float> samples(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double phase = frequency * double(i) / rate;
        samples[i] = float(amplitude * (2.0 * (phase - std::floor(phase)) - 1.0));
    }
    return samples;
}

inline double Rms(const std::vector<float>& x, std::size_t from, std::size_t to)
{
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i)
        sum += double(x[i]) * x[i];
    return to > from ? std::sqrt(sum / double(to - from)) : 0.0;
}

// What the buffer's playback callback writes into an output of that many
// frames, which starts out holding 99 everywhere.
template <class Buffer> std::vector<float> Play(Buffer& buffer, unsigned long frames)
{
    std::vector<float> out(frames, 99.0f);
    if (buffer.PlayCallback(nullptr, out.data(), frames, 0.0, nullptr) != 0)
        out.clear();
    return out;
}

} // namespace TestSignals
