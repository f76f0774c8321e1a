#pragma once
// What the tuner shows of a sound at 44100 Hz: the capture's road (blocks of
// 512 frames decimated, a window every 128 samples) with a reading of the
// newest window about every 50 ms, as the tuner's refresh takes them; and the
// plucked and struck notes the tests play through it.
#include "audio/Decimator.h"
#include "audio/PitchAnalysis.h"
#include "audio/SlidingSampleWindow.h"

#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <vector>

namespace CaptureReadings {

struct Reading {
    std::size_t frames; // input frames heard when it was taken
    float hz;
};

inline std::vector<Reading> Read(const std::vector<float>& input, double firstReadingMs,
                                 PitchAnalysis::Stops stops = PitchAnalysis::Stops::Found)
{
    std::vector<float> newest;
    bool fresh = false;
    SlidingSampleWindow windows(2048, 128, [&](const float* s, unsigned n) {
        newest.assign(s, s + n);
        fresh = true;
    });
    Decimator decimator;
    PitchAnalysis analysis(stops);
    std::vector<float> block(512);
    std::vector<Reading> readings;
    double nextReadingMs = firstReadingMs;
    for (std::size_t at = 0; at + 512 <= input.size(); at += 512) {
        windows.Push(block.data(), decimator.Process(input.data() + at, 512, block.data()));
        const double nowMs = 1000.0 * double(at + 512) / 44100.0;
        if (nowMs < nextReadingMs || !fresh)
            continue;
        nextReadingMs = nowMs + 51.0;
        fresh = false;
        analysis.Run(newest, PitchAnalysis::Gate());
        readings.push_back({at + 512, analysis.Frequency()});
    }
    return readings;
}

inline double Cents(double f, double reference)
{
    return 1200.0 * std::log2(f / reference);
}

// A struck or plucked note at 44100 Hz: harmonics falling as 1/h, the higher
// ones dying away faster, the fundamental by decayDbPerSecond; cut off after
// `seconds` (over 3 ms, as a damped string is) or left to ring.
inline std::vector<float> Strike(double hz, double seconds, double decayDbPerSecond, bool cutOff)
{
    const std::size_t n = std::size_t(seconds * 44100.0);
    std::vector<float> note(n, 0.0f);
    for (int h = 1; h <= 12 && h * hz < 5000.0; ++h) {
        const double decay = decayDbPerSecond * (1.0 + 0.2 * (h - 1)) / 20.0;
        for (std::size_t i = 0; i < n; ++i) {
            const double t = double(i) / 44100.0;
            note[i] += float(0.3 / h * std::pow(10.0, -decay * t) * std::sin(2.0 * M_PI * hz * h * t + 0.7 * h));
        }
    }
    const std::size_t fade = cutOff ? 132 : 0;
    for (std::size_t i = 0; i < fade && i < n; ++i)
        note[n - 1 - i] *= float(0.5 - 0.5 * std::cos(M_PI * double(i) / double(fade)));
    return note;
}

// Seconds of silence.
inline std::vector<float> Rest(double seconds)
{
    return std::vector<float>(std::size_t(seconds * 44100.0), 0.0f);
}

inline std::vector<float> Joined(std::initializer_list<std::vector<float>> parts)
{
    std::vector<float> out;
    for (const std::vector<float>& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

} // namespace CaptureReadings
