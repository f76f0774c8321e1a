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
    // for that run's window length. Below the gate, or without an estimate,
    // the measured frequency stays as it was; the run count grows either way.
    // Returns whether a pitch was estimated.
    bool Run(const std::vector<float>& samples, const Gate& gate);

    // A run in its two steps. Estimate: the window's pitch through the gate
    // and the estimator (0 when closed or none; the spectrum is the window's
    // when the gate was open). Take: that estimate through the filter and the
    // average, counted as a run. An empty window is not taken.
    float Estimate(const std::vector<float>& samples, const Gate& gate);
    bool Take(float estimate);
    // Whether the filter would hold the estimate back as the start of a new note.
    bool WouldHold(float estimate) const;

    float Frequency() const { return frequency_; }
    // Whether the last run's estimate was held back by the filter until
    // more windows agree with it: each further window decides sooner.
    bool Confirming() const { return confirming_; }
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
    bool confirming_ = false;
    int runs_ = 0;
    int estimates_ = 0;
};
