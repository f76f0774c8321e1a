#pragma once
// Reduces the 44100 Hz capture to 11025 Hz through a low-pass (anti-aliasing)
// FIR filter, so that harmonics above the new Nyquist frequency do not fold
// back into the analysed band. Keeps its filter state and phase between
// blocks, so any block length works; never allocates after construction.
#include <vector>

class Decimator {
public:
    static constexpr int DefaultFactor = 4;
    static constexpr int DefaultTaps = 127;

    // cutoffHz: the filter's -6 dB point; the default leaves the band up to
    // about 4 kHz intact and stops everything that would alias (above 5.5 kHz).
    explicit Decimator(int factor = DefaultFactor, int taps = DefaultTaps, double sampleRate = 44100.0,
                       double cutoffHz = 4800.0);

    // Filters count inputs and writes one output per factor inputs (the
    // phase carries over between calls) to out, which must hold
    // count / factor + 1 samples. Returns the number written.
    int Process(const float* in, int count, float* out);
    void Reset();

    int Factor() const { return factor_; }
    const std::vector<float>& Coefficients() const { return coefficients_; }

private:
    int factor_;
    std::vector<float> coefficients_;
    // The newest inputs, twice over, so that the newest `taps` of them always
    // lie contiguously at history_[position_ .. position_ + taps).
    std::vector<float> history_;
    int position_ = 0;
    int phase_ = 0;
};

// Mean of every group of factor inputs, written to out (count / factor
// samples; a last, incomplete group is not used). Returns count / factor.
// Cheap, but lets everything above the new Nyquist frequency alias.
int DecimateByMean(const float* in, int factor, int count, float* out);
