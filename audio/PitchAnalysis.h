#pragma once
// One analysis step over a window of decimated input: the level gate, the
// FFT pitch estimate, the filter against isolated jumps and the moving
// average, giving the measured frequency. The pitch tracker runs it on the
// GUI thread; the accuracy benchmark runs it on files.
#include "audio/FftAnalyser.h"
#include "audio/FrequencyFilter.h"
#include "audio/MovingAverage.h"

#include <vector>

class PitchAnalysis {
public:
    static constexpr float SampleRate = 11025.0f;
    // A window whose newest StopTail samples (23 ms) lie StopFallDb below the
    // whole is not measured: its sound stopped within it. A plucked string
    // dying away falls a few dB over such a stretch.
    static constexpr unsigned StopTail = 256;
    static constexpr float StopFallDb = 12.0f;

    struct Gate {
        float threshold = 5.0f;
        float fullScale = 32768.0f;
        float offsetDb = 20.0f;
        float rangeDb = 100.0f;
    };

    PitchAnalysis() = default;
    PitchAnalysis(const PitchAnalysis&) = delete;
    PitchAnalysis& operator=(const PitchAnalysis&) = delete;

    // Nothing for an empty window. The estimator is set up on the first run
    // for that run's window length. Below the gate, without an estimate, or
    // when the sound stops within the window, the measured frequency stays as
    // it was; the run count grows either way.
    // Returns whether a pitch was estimated.
    bool Run(const std::vector<float>& samples, const Gate& gate);

    float Frequency() const { return frequency_; }
    int Runs() const { return runs_; }
    // Runs in which the estimator ran (the gate was open), whether or not it
    // found a pitch: each of them left a new spectrum.
    int Estimates() const { return estimates_; }
    // The magnitude spectrum of the last estimate.
    const std::vector<float>& Spectrum() const { return analyser_.Magnitudes(); }

private:
    FftAnalyser analyser_;
    FrequencyFilter filter_;
    MovingAverage average_{10};
    float frequency_ = 0.0f;
    int runs_ = 0;
    int estimates_ = 0;
};
