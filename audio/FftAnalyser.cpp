#include "audio/FftAnalyser.h"

#include "audio/PitchEstimate.h"
#include "audio/WindowFunctionRegistry.h"
#include "platform/Log.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

bool IsPowerOfTwo(int n)
{
    return n > 0 && (n & (n - 1)) == 0;
}

int RequestedKernelCount(float sampleRate, int n, float resolutionHz)
{
    const float count = (sampleRate / static_cast<float>(n)) / resolutionHz;
    // A zero or negative resolution would ask for an unbounded table; one
    // kernel (no sub-bin refinement) is the nearest sound request.
    if (!(count >= 1.0f) || count > 1.0e6f)
        return 1;
    return static_cast<int>(count);
}

// A constant offset (cheap cards and microphones have one) would leak
// through the window into the lowest bins and pull the estimate flat; a
// window that is only an offset is left with nothing to estimate. The sum is
// exact in double precision, so a constant window becomes exactly zero.
void RemoveOffset(std::vector<float>& samples)
{
    if (samples.empty())
        return;
    double sum = 0.0;
    for (float x : samples)
        sum += x;
    const float mean = float(sum / double(samples.size()));
    for (float& x : samples)
        x -= mean;
}

} // namespace

std::vector<int> BuildBitReverseTable(int size)
{
    std::vector<int> t(size, 0);
    if (size < 2)
        return t;
    const int half = size / 2;
    t[half] = 1;
    int step = half;
    for (int m = 1; m < half; m *= 2) {
        for (int j = 0; j < m; ++j) {
            t[m + j] = t[j] + step;
            t[half + m + j] = t[m + j] + 1;
        }
        step /= 2;
    }
    return t;
}

FftAnalyser::~FftAnalyser()
{
    Release();
}

void FftAnalyser::Init(int n, bool realInput, float resolutionHz, float sampleRate, float peakWidthHz,
                       bool polarSpectrum, int windowId)
{
    sampleCount_ = n;
    realInput_ = realInput;
    sampleRate_ = sampleRate;
    peakWidth_ = peakWidthHz;
    polarSpectrum_ = polarSpectrum;
    windowId_ = windowId;
    estimating_ = true;
    requestedKernelCount_ = RequestedKernelCount(sampleRate, n, resolutionHz);
    kernelCount_ = requestedKernelCount_;
    Setup();
}

void FftAnalyser::Configure(int n, bool realInput, bool polarSpectrum, int windowId)
{
    sampleCount_ = n;
    realInput_ = realInput;
    polarSpectrum_ = polarSpectrum;
    windowId_ = windowId;
    estimating_ = false;
    Setup();
}

void FftAnalyser::Setup()
{
    if (initialised_)
        Release();
    n_ = sampleCount_;
    const int minimum = realInput_ ? 4 : 2;
    if (!IsPowerOfTwo(n_) || n_ < minimum) {
        Platform::Log("FftAnalyser: cannot set up a transform of " + std::to_string(n_)
                      + " samples (a power of two of at least " + std::to_string(minimum) + " is needed)");
        return;
    }

    window_.clear();
    if (windowId_ != 0) {
        WindowFunctionRegistry registry;
        if (!registry.Fill(windowId_, n_, window_))
            window_.clear();
    }

    if (estimating_)
        kernelCount_ = BuildKernelTable(n_, requestedKernelCount_, window_, kernels_);

    if (realInput_) {
        n_ /= 2;
        scratch_.assign(n_, Complex());
        sine_.resize(n_);
        cosine_.resize(n_);
        const float step = Complex::kPi / static_cast<float>(n_);
        for (int k = 0; k < n_; ++k) {
            const float angle = static_cast<float>(k) * step;
            sine_[k] = std::sin(angle);
            cosine_[k] = std::cos(angle);
        }
    }

    twiddles_.resize(n_);
    const float step = -Complex::kTwoPi / static_cast<float>(n_);
    for (int k = 0; k < n_; ++k) {
        const float angle = static_cast<float>(k) * step;
        twiddles_[k] = Complex(std::cos(angle), std::sin(angle));
    }

    bitReverse_ = BuildBitReverseTable(n_);
    halfBitReverse_ = BuildBitReverseTable(n_ / 2);
    initialised_ = true;
}

void FftAnalyser::Release()
{
    bitReverse_ = std::vector<int>();
    halfBitReverse_ = std::vector<int>();
    if (realInput_) {
        sine_ = std::vector<float>();
        cosine_ = std::vector<float>();
        scratch_ = std::vector<Complex>();
    }
    initialised_ = false;
}

float FftAnalyser::EstimateFrequency(const std::vector<float>& samples)
{
    skipEstimate_ = false;
    if (!initialised_ || !realInput_ || samples.size() != static_cast<size_t>(2 * n_))
        return -1.0f;
    samples_.assign(samples.begin(), samples.end());
    RemoveOffset(samples_);
    return Analyse(samples_, work_);
}

bool FftAnalyser::AcceptsRealInput(const std::vector<float>& samples) const
{
    return initialised_ && realInput_ && samples.size() >= static_cast<size_t>(2 * n_);
}

float FftAnalyser::Analyse(std::vector<float>& samples, std::vector<Complex>& work)
{
    if (!AcceptsRealInput(samples))
        return -1.0f;
    const int n = n_;
    work.resize(2 * n);
    if (!skipEstimate_ && window_.size() == static_cast<size_t>(2 * n)) {
        for (int i = 0; i < 2 * n; ++i)
            samples[i] *= window_[i];
    }
    for (int k = 0; k < n; ++k) {
        const int t = bitReverse_[k];
        work[k].re = samples[2 * t];
        work[k].im = samples[2 * t + 1];
    }
    Transform(work);
    SplitRealSpectrum(work);
    if (!estimating_ || skipEstimate_)
        return -1.0f;
    ComputeMagnitudes(work, 2 * n);
    return Estimate(n);
}

float FftAnalyser::AnalyseSpectrum(std::vector<float>& samples, std::vector<Complex>& work,
                                   std::vector<Complex>& spectrum)
{
    spectrum.clear();
    if (!AcceptsRealInput(samples))
        return -1.0f;
    const float result = Analyse(samples, work);
    spectrum = work;
    if (polarSpectrum_) {
        for (Complex& c : spectrum)
            c = c.ToPolar();
    }
    return result;
}

float FftAnalyser::AnalyseRealParts(std::vector<float>& samples, std::vector<Complex>& work,
                                    std::vector<float>& realParts)
{
    realParts.clear();
    if (!AcceptsRealInput(samples))
        return -1.0f;
    const float result = Analyse(samples, work);
    realParts.reserve(work.size());
    for (const Complex& c : work)
        realParts.push_back(c.re);
    return result;
}

double FftAnalyser::AnalyseComplex(std::vector<Complex>& samples, std::vector<float>& magnitudes)
{
    if (!initialised_ || realInput_ || samples.size() != static_cast<size_t>(n_))
        return -1.0;
    const int n = n_;
    if (window_.size() == static_cast<size_t>(n)) {
        for (int i = 0; i < n; ++i)
            samples[i] = samples[i].Scaled(window_[i]);
    }
    for (int k = 0; k < n; ++k) {
        const int t = bitReverse_[k];
        if (t > k)
            std::swap(samples[k], samples[t]);
    }
    Transform(samples);
    if (!estimating_ || skipEstimate_)
        return -1.0;
    ComputeMagnitudes(samples, n);
    magnitudes = magnitudes_;
    // The complex spectrum's n bins are searched as the lower half of a
    // 2 * (n/2)-bin one, so bin k still stands for k * rate / n Hz.
    lastResult_ = Estimate(n / 2);
    return lastResult_;
}

double FftAnalyser::AnalyseComplexSpectrum(std::vector<Complex>& samples, std::vector<float>& magnitudes,
                                           std::vector<Complex>& spectrum)
{
    const double result = AnalyseComplex(samples, magnitudes);
    if (!initialised_ || samples.size() != static_cast<size_t>(n_)) {
        spectrum.clear();
        return result;
    }
    spectrum = samples;
    if (polarSpectrum_) {
        for (Complex& c : spectrum)
            c = c.ToPolar();
    }
    return result;
}

void FftAnalyser::Transform(std::vector<Complex>& data) const
{
    if (!initialised_ || data.size() < static_cast<size_t>(n_))
        return;
    const int n = n_;
    // The butterflies work on the parts alone: the elements already carry
    // their constants, and rewriting them in this loop would double its
    // memory traffic.
    for (int span = 1; span < n; span *= 2) {
        const int groups = n / (2 * span);
        for (int g = 0; g < groups; ++g) {
            const Complex& w = twiddles_[halfBitReverse_[g]];
            const float wr = w.re;
            const float wi = w.im;
            Complex* a = &data[2 * span * g];
            Complex* b = a + span;
            for (int j = 0; j < span; ++j) {
                const float ur = a[j].re, ui = a[j].im;
                const float vr = b[j].re, vi = b[j].im;
                a[j].re = ur + vr;
                a[j].im = ui + vi;
                const float dr = ur - vr, di = ui - vi;
                b[j].re = dr * wr - di * wi;
                b[j].im = dr * wi + di * wr;
            }
        }
    }
}

void FftAnalyser::SplitRealSpectrum(std::vector<Complex>& data)
{
    const int n = n_;
    if (!initialised_ || !realInput_ || data.size() < static_cast<size_t>(2 * n))
        return;
    std::copy(data.begin(), data.begin() + n, scratch_.begin());
    for (int k = 0; k < n; ++k) {
        const Complex& a = scratch_[k];
        const Complex& b = scratch_[(n - k) % n];
        const float c = cosine_[k];
        const float s = sine_[k];
        const float f1 = (a.re - b.re) / 2.0f;
        const float f2 = (a.im + b.im) / 2.0f;
        data[k].re = (a.re + b.re) / 2.0f + c * f2 - s * f1;
        data[k].im = (a.im - b.im) / 2.0f - s * f2 - c * f1;
    }
    for (int k = 1; k < n; ++k) {
        data[2 * n - k].re = data[k].re;
        data[2 * n - k].im = -data[k].im;
    }
    data[n].re = (data[n - 1].re + data[n + 1].re) / 2.0f;
    data[n].im = -(data[n - 1].im + data[n + 1].im) / 2.0f;
}

void FftAnalyser::ComputeMagnitudes(const std::vector<Complex>& spectrum, size_t count)
{
    magnitudes_.resize(count);
    for (size_t k = 0; k < count; ++k)
        magnitudes_[k] = spectrum[k].Magnitude();
}

float FftAnalyser::Estimate(int searchLength)
{
    return EstimatePitch(magnitudes_, searchLength, sampleRate_, kernelCount_, peakWidth_, kernels_);
}
