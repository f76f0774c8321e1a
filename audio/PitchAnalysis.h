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
    // Where a window's sound stops: the window is read in stretches of
    // StopSlice samples (23 ms), and the sound stopped where the window falls
    // more than StopFallDb within two stretches and stays that quiet to its
    // end. A cut falls tens of dB within one stretch and a muted string about
    // twenty within two; a note dying away, even one gone within a fifth of a
    // second, falls seven dB a stretch.
    static constexpr unsigned StopSlice = 256;
    static constexpr float StopFallDb = 18.0f;

    // Whether windows are searched for a sound that stops within them. The
    // benchmark and the tests compare with an analysis that reads every
    // window whole.
    enum class Stops { Found, Ignored };

    struct Gate {
        float threshold = 5.0f;
        float fullScale = 32768.0f;
        float offsetDb = 20.0f;
        float rangeDb = 100.0f;
    };

    explicit PitchAnalysis(Stops stops = Stops::Found)
        : stops_(stops)
    {
    }
    PitchAnalysis(const PitchAnalysis&) = delete;
    PitchAnalysis& operator=(const PitchAnalysis&) = delete;

    // Nothing for an empty window. The estimator is set up on the first run
    // for that run's window length. Below the gate or without an estimate the
    // measured frequency stays as it was; so it does when the sound stops
    // within the window, unless that window confirms a new note. The run
    // count grows either way.
    // Returns whether the measured frequency took the window's estimate.
    bool Run(const std::vector<float>& samples, const Gate& gate);

    float Frequency() const { return frequency_; }
    int Runs() const { return runs_; }
    // Runs in which the estimator ran (the gate was open), whether or not it
    // found a pitch: each of them left a new spectrum.
    int Estimates() const { return estimates_; }
    // The magnitude spectrum of the last estimate.
    const std::vector<float>& Spectrum() const { return analyser_.Magnitudes(); }

private:
    Stops stops_;
    FftAnalyser analyser_;
    FrequencyFilter filter_;
    MovingAverage average_{10};
    float frequency_ = 0.0f;
    int runs_ = 0;
    int estimates_ = 0;
};
