// The FFT pitch estimator: turns one window of mono samples into a
// magnitude spectrum and estimates its fundamental frequency from it. It owns
// every table the transform needs and rebuilds them at each set-up, so an
// analysis only copies the samples and fills its work vectors.
#pragma once

#include "audio/Complex.h"
#include "audio/SpectralKernelTable.h"

#include <vector>

class FftAnalyser {
public:
    FftAnalyser() = default;
    ~FftAnalyser();
    FftAnalyser(const FftAnalyser&) = delete;
    FftAnalyser& operator=(const FftAnalyser&) = delete;

    // Configures for estimating: N samples per window (real samples are
    // packed two to a complex value), a sub-bin resolution in Hz, the sample
    // rate, the width of a spectral peak in Hz, polar output of the
    // spectrum-returning variants and the window id; then builds the tables.
    void Init(int n, bool realInput, float resolutionHz, float sampleRate, float peakWidthHz, bool polarSpectrum,
              int windowId);
    // The same for a bare transform: estimation off, no rate.
    void Configure(int n, bool realInput, bool polarSpectrum, int windowId);
    void Setup();
    void Release();

    // Fundamental frequency of the samples in Hz, or -1.0 when there is no
    // estimate (not initialised, skipped, or not exactly N samples). The
    // caller's vector is left unchanged; Magnitudes() then holds the spectrum.
    float EstimateFrequency(const std::vector<float>& samples);

    // Real-input analysis: windows the samples in place, transforms them and
    // leaves the 2n-bin spectrum in work.
    float Analyse(std::vector<float>& samples, std::vector<Complex>& work);
    // As Analyse, also handing back the 2n-bin spectrum (in polar form when
    // so configured), or only its real parts.
    float AnalyseSpectrum(std::vector<float>& samples, std::vector<Complex>& work, std::vector<Complex>& spectrum);
    float AnalyseRealParts(std::vector<float>& samples, std::vector<Complex>& work, std::vector<float>& realParts);
    // Complex-input analysis: windows and transforms samples in place.
    double AnalyseComplex(std::vector<Complex>& samples, std::vector<float>& magnitudes);
    // As AnalyseComplex, also handing back the spectrum (in polar form when
    // so configured).
    double AnalyseComplexSpectrum(std::vector<Complex>& samples, std::vector<float>& magnitudes,
                                  std::vector<Complex>& spectrum);

    // In-place transform of the first n elements, input in bit-reversed
    // order, output the discrete Fourier transform in natural order.
    void Transform(std::vector<Complex>& data) const;
    // Turns the transform of n packed complex values into the 2n-bin
    // spectrum of the 2n real samples; data must hold 2n elements.
    void SplitRealSpectrum(std::vector<Complex>& data);

    // Makes the next analysis return -1.0 without windowing or estimating;
    // EstimateFrequency clears it.
    void SetSkipEstimate(bool skip) { skipEstimate_ = skip; }

    bool IsInitialised() const { return initialised_; }
    // Complex transform length (half the window with real input).
    int Length() const { return n_; }
    int KernelCount() const { return kernelCount_; }
    double LastResult() const { return lastResult_; }
    const std::vector<float>& WindowCoefficients() const { return window_; }
    const SpectralKernelTable& Kernels() const { return kernels_; }
    // Magnitude spectrum of the last estimate, 2n bins, bin k at
    // k * sampleRate / (2n) Hz.
    const std::vector<float>& Magnitudes() const { return magnitudes_; }

private:
    bool AcceptsRealInput(const std::vector<float>& samples) const;
    void ComputeMagnitudes(const std::vector<Complex>& spectrum, size_t count);
    float Estimate(int searchLength);

    // Samples per window as configured; n_ becomes the complex length.
    int sampleCount_ = 0;
    int n_ = 0;
    int windowId_ = 0;
    int kernelCount_ = 0;
    bool realInput_ = false;
    bool initialised_ = false;
    bool estimating_ = false;
    bool polarSpectrum_ = false;
    bool skipEstimate_ = false;
    int requestedKernelCount_ = 0;
    float sampleRate_ = 0.0f;
    float peakWidth_ = 0.0f;
    SpectralKernelTable kernels_;
    std::vector<Complex> scratch_;
    std::vector<float> window_;
    std::vector<Complex> twiddles_;
    std::vector<int> halfBitReverse_;
    std::vector<int> bitReverse_;
    std::vector<float> sine_;
    std::vector<float> cosine_;
    double lastResult_ = 0.0;

    std::vector<float> samples_;
    std::vector<Complex> work_;
    std::vector<float> magnitudes_;
};

// Bit-reversed index of every position 0..size-1 (size a power of two).
std::vector<int> BuildBitReverseTable(int size);
