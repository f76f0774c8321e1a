#include "audio/FftAnalyser.h"

#include "TestSignals.h"
#include "audio/WindowFunctionRegistry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

namespace {

using Partials = std::vector<std::pair<double, double>>;

std::vector<std::complex<double>> NaiveDft(const std::vector<std::complex<double>>& x)
{
    const size_t n = x.size();
    std::vector<std::complex<double>> out(n);
    for (size_t k = 0; k < n; ++k)
        for (size_t t = 0; t < n; ++t)
            out[k] += x[t] * std::polar(1.0, -2.0 * M_PI * double(k * t % n) / double(n));
    return out;
}

std::vector<float> Tone(const Partials& partials, double fundamental, size_t n = 2048)
{
    return TestSignals::Tone(fundamental, n, 11025.0, partials);
}

FftAnalyser& TunerAnalyser()
{
    static FftAnalyser analyser;
    if (!analyser.IsInitialised())
        analyser.Init(2048, true, 0.01f, 11025.0f, 16.0f, true, 4);
    return analyser;
}

} // namespace

TEST(FftAnalyser, ComplexTransformAndRealSplitMatchADirectDft)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    for (const bool real : {false, true}) {
        SCOPED_TRACE(real ? "real split" : "complex transform");
        const int n = real ? 256 : 16;
        std::vector<Complex> samples(n);
        std::vector<float> realSamples(n);
        std::vector<std::complex<double>> reference(n);
        for (int i = 0; i < n; ++i) {
            samples[i].re = realSamples[i] = value(random);
            samples[i].im = real ? 0.0f : value(random);
            reference[i] = {samples[i].re, samples[i].im};
        }
        FftAnalyser analyser;
        analyser.Configure(n, real, false, 0);
        std::vector<float> magnitudes;
        std::vector<Complex> spectrum;
        if (real) {
            ASSERT_EQ(analyser.Length(), n / 2);
            EXPECT_EQ(analyser.Analyse(realSamples, spectrum), -1.0f);
        } else {
            EXPECT_EQ(analyser.AnalyseComplexSpectrum(samples, magnitudes, spectrum), -1.0);
        }
        const auto expected = NaiveDft(reference);
        ASSERT_EQ(spectrum.size(), size_t(n));
        for (int k = 0; k < n; ++k) {
            if (real && k == n / 2) {
                EXPECT_EQ(spectrum[k].im, 0.0f) << "the Nyquist bin is real";
                continue;
            }
            EXPECT_NEAR(spectrum[k].re, expected[k].real(), real ? 1e-4 : 1e-5) << "bin " << k;
            EXPECT_NEAR(spectrum[k].im, expected[k].imag(), real ? 1e-4 : 1e-5) << "bin " << k;
        }
    }
}

TEST(FftAnalyser, DolphChebyshevWindowsHaveTheirKnownValues)
{
    struct Expected {
        int n;
        float first;
        float second;
        double sum;
    };
    for (const Expected& e :
         {Expected{512, 0.129606f, 0.014651f, 244.965}, Expected{1024, 0.252219f, 0.014243f, 490.392},
          Expected{2048, 0.4976f, 0.014044f, 981.255}}) {
        SCOPED_TRACE(e.n);
        std::vector<float> w;
        ASSERT_TRUE(WindowFunctionRegistry().Fill(WindowFunctionRegistry::DolphChebyshev60, e.n, w));
        ASSERT_EQ(w.size(), size_t(e.n));
        EXPECT_NEAR(w[0], e.first, 5e-6);
        EXPECT_NEAR(w[1], e.second, 5e-7);
        EXPECT_NEAR(std::accumulate(w.begin(), w.end(), 0.0), e.sum, 1e-3);
        EXPECT_FLOAT_EQ(w[e.n / 2 - 1], 1.0f);
        EXPECT_FLOAT_EQ(w[e.n / 2], 1.0f);
        for (int i = 0; i < e.n; ++i)
            ASSERT_EQ(w[i], w[e.n - 1 - i]) << "at " << i;
        if (e.n == 2048) {
            EXPECT_NEAR(w[2], 0.014242f, 5e-7);
            EXPECT_NEAR(w[3], 0.014441f, 5e-7);
        }
    }
}

TEST(FftAnalyser, CosineWindowsAndUnknownIds)
{
    WindowFunctionRegistry registry;
    std::vector<float> w;
    ASSERT_TRUE(registry.Fill(WindowFunctionRegistry::Hann, 9, w));
    EXPECT_NEAR(w[0], 0.0f, 1e-7);
    EXPECT_NEAR(w[4], 1.0f, 1e-6);
    ASSERT_TRUE(registry.Fill(WindowFunctionRegistry::Hamming, 9, w));
    EXPECT_NEAR(w[0], 0.08f, 1e-6);
    ASSERT_TRUE(registry.Fill(WindowFunctionRegistry::Blackman, 9, w));
    EXPECT_NEAR(w[4], 1.0f, 1e-6);
    ASSERT_TRUE(registry.Fill(WindowFunctionRegistry::BlackmanHarris, 9, w));
    EXPECT_NEAR(w[0], 0.00006f, 1e-6);
    for (int id : {0, 2, 7, -1}) {
        std::vector<float> none;
        EXPECT_FALSE(registry.Fill(id, 16, none)) << id;
        EXPECT_TRUE(none.empty()) << id;
    }
}

TEST(FftAnalyser, KernelTableIsTheStandardOneAndTheTransformRebuildsIt)
{
    FftAnalyser& analyser = TunerAnalyser();
    EXPECT_EQ(analyser.Length(), 1024);
    EXPECT_EQ(analyser.WindowCoefficients().size(), 2048u) << "the window covers every sample, not the halved length";
    const SpectralKernelTable& kernels = analyser.Kernels();
    ASSERT_EQ(analyser.KernelCount(), 550);
    ASSERT_EQ(kernels.size(), 550u);
    const float kernel0[9] = {0.8237f, 0.7387f, 35.5132f, 497.6531f, 981.2552f, 497.6531f, 35.5132f, 0.7387f, 0.8237f};
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(kernels[0][i], kernel0[i], 2e-3 * std::max(1.0f, kernel0[i] / 100.0f)) << i;
    EXPECT_NEAR(kernels[275][4], 832.8996f, 0.01f);
    EXPECT_NEAR(kernels[275][5], 832.8996f, 0.01f);

    SpectralKernelTable computed;
    EXPECT_EQ(BuildKernelTable(2048, 550, DolphChebyshevWindow(2048, 60.0), computed), 550);
    ASSERT_EQ(computed.size(), 550u);
    for (int j : {0, 1, 137, 275, 412, 549})
        for (int i = 0; i < 9; ++i)
            EXPECT_NEAR(computed[j][i], kernels[j][i], 1e-3f + 1e-5f * kernels[j][i]) << j << "/" << i;
}

TEST(FftAnalyser, PureSineAndHarmonicTonesAreEstimatedWithinHundredthsOfAHertz)
{
    FftAnalyser& analyser = TunerAnalyser();
    const std::vector<float> samples = Tone({{1.0, 1.0}}, 440.0);
    EXPECT_NEAR(analyser.EstimateFrequency(samples), 440.0f, 0.01f);
    EXPECT_EQ(samples, Tone({{1.0, 1.0}}, 440.0)) << "the caller's samples are left unchanged";

    const std::vector<float>& magnitudes = analyser.Magnitudes();
    ASSERT_EQ(magnitudes.size(), 2048u);
    EXPECT_EQ(std::max_element(magnitudes.begin(), magnitudes.begin() + 1024) - magnitudes.begin(), 82);

    // Harmonic tones are found from their spacings.
    EXPECT_NEAR(TunerAnalyser().EstimateFrequency(Tone({{1, 1.0}, {2, 0.8}, {3, 0.6}, {4, 0.5}, {5, 0.4}}, 110.0)),
                110.0f, 0.01f);
    // A weak fundamental is found from its harmonics.
    EXPECT_NEAR(
        TunerAnalyser().EstimateFrequency(Tone({{1, 0.2}, {2, 1.0}, {3, 0.8}, {4, 0.6}, {5, 0.5}, {6, 0.4}}, 82.41)),
        82.40f, 0.02f);
}

TEST(FftAnalyser, AToneOnAnyOffsetUpToHalfScaleReadsWithinACent)
{
    for (float amplitude : {0.1f, 0.01f})
        for (float offset : {0.01f, 0.1f, 0.25f, 0.5f, -0.5f}) {
            std::vector<float> samples = Tone({{1.0, amplitude}}, 110.0);
            for (float& x : samples)
                x += offset;
            const float f = TunerAnalyser().EstimateFrequency(samples);
            EXPECT_LT(std::fabs(1200.0 * std::log2(f / 110.0)), 1.0)
                << amplitude << " on " << offset << " read " << f << " Hz";
        }
}

TEST(FftAnalyser, NoEstimateWithoutUsableInput)
{
    FftAnalyser never;
    EXPECT_EQ(never.EstimateFrequency(std::vector<float>(2048, 0.5f)), -1.0f);

    FftAnalyser& analyser = TunerAnalyser();
    // A window holding only an offset has no pitch.
    for (float offset : {0.5f, -0.3f, 16384.0f})
        EXPECT_EQ(analyser.EstimateFrequency(std::vector<float>(2048, offset)), -1.0f) << "constant " << offset;
    std::vector<float> spiked = Tone({{1.0, 1.0}}, 440.0);
    spiked[100] = std::numeric_limits<float>::infinity();
    for (const std::vector<float>& input :
         {std::vector<float>(2048, 0.0f), std::vector<float>(2048, std::nanf("")), std::vector<float>(2047, 0.5f),
          std::vector<float>(4096, 0.5f), std::vector<float>(), spiked})
        EXPECT_EQ(analyser.EstimateFrequency(input), -1.0f) << input.size() << " samples";

    // Tones too low to refine read before the start of the spectrum.
    for (double f = 10.0; f <= 20.0; f += 0.5) {
        const float estimate = analyser.EstimateFrequency(Tone({{1.0, 1.0}}, f));
        EXPECT_TRUE(estimate == -1.0f || std::abs(estimate - f) < 1.0) << f << " Hz gave " << estimate;
    }
}

TEST(FftAnalyser, SkipFlagSuppressesOneAnalysisAndSetUpAgainRebuilds)
{
    FftAnalyser analyser;
    analyser.Init(2048, true, 0.01f, 11025.0f, 16.0f, true, 4);
    const std::vector<float> samples = Tone({{1.0, 1.0}}, 440.0);
    std::vector<Complex> work;
    analyser.SetSkipEstimate(true);
    std::vector<float> copy = samples;
    EXPECT_EQ(analyser.Analyse(copy, work), -1.0f);
    EXPECT_EQ(copy, samples) << "a skipped analysis does not window";
    EXPECT_NEAR(analyser.EstimateFrequency(samples), 440.0f, 0.01f);

    analyser.Init(1024, true, 0.1f, 11025.0f, 16.0f, true, 5);
    EXPECT_EQ(analyser.Length(), 512);
    EXPECT_EQ(analyser.KernelCount(), 107);
    EXPECT_EQ(analyser.Kernels().size(), 107u);
    analyser.Setup();
    EXPECT_EQ(analyser.Length(), 512);
    EXPECT_NEAR(analyser.EstimateFrequency(Tone({{1.0, 1.0}}, 440.0, 1024)), 440.0f, 0.1f);

    analyser.Configure(1000, true, false, 0);
    EXPECT_FALSE(analyser.IsInitialised());
    EXPECT_EQ(analyser.EstimateFrequency(std::vector<float>(1000, 0.1f)), -1.0f);
}

TEST(FftAnalyser, ComplexValuesConvertToPolar)
{
    static_assert(sizeof(Complex) == 5 * sizeof(float), "five floats per element");
    const Complex c = Complex(3.0f, -4.0f) * Complex(1.0f, 0.0f);
    const Complex polar = c.ToPolar();
    EXPECT_EQ(polar.re, 5.0f);
    EXPECT_FLOAT_EQ(polar.im, std::atan2(-4.0f, 3.0f));
    EXPECT_EQ(Complex(0.0f, 2.0f).Phase(), 0.0f) << "a zero real part reports phase 0";

    FftAnalyser analyser;
    analyser.Configure(8, false, true, 0);
    std::vector<Complex> samples(8, Complex(1.0f, 0.0f));
    std::vector<float> magnitudes;
    std::vector<Complex> spectrum;
    analyser.AnalyseComplexSpectrum(samples, magnitudes, spectrum);
    ASSERT_EQ(spectrum.size(), 8u);
    EXPECT_FLOAT_EQ(spectrum[0].re, 8.0f) << "polar form: magnitude";
    EXPECT_FLOAT_EQ(spectrum[0].im, 0.0f) << "polar form: phase";
    EXPECT_NEAR(spectrum[3].re, 0.0f, 1e-5f);
}

TEST(FftAnalyser, RealInputSpectrumVariantsHandBackPolarFormAndRealParts)
{
    // 64 real samples: a partial on bin k of amplitude a peaks at a * 32 there
    // and on its mirror bin 64 - k; a constant c fills bin 0 with 64 * c.
    struct Case {
        const char* name;
        double bin;
        double phase; // of a cosine
        double offset;
        int peakBin;
        float magnitude;
        float polarPhase;
        float realPart;
    };
    const Case cases[] = {
        {"cosine on bin 5", 5.0, 0.0, 0.0, 5, 32.0f, 0.0f, 32.0f},
        {"cosine on bin 5 turned by -pi/3", 5.0, -M_PI / 3.0, 0.0, 5, 32.0f, float(-M_PI / 3.0), 16.0f},
        {"cosine on bin 12 turned by pi/4", 12.0, M_PI / 4.0, 0.0, 12, 32.0f, float(M_PI / 4.0), 32.0f * float(M_SQRT1_2)},
        {"constant 0.25", 0.0, 0.0, 0.25, 0, 16.0f, 0.0f, 16.0f},
    };
    FftAnalyser polar;
    polar.Configure(64, true, true, 0);
    FftAnalyser rectangular;
    rectangular.Configure(64, true, false, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<float> signal(64);
        for (int i = 0; i < 64; ++i)
            signal[i] = float(c.offset + (c.bin > 0.0 ? std::cos(2.0 * M_PI * c.bin * i / 64.0 + c.phase) : 0.0));
        std::vector<float> samples = signal;
        std::vector<Complex> work, spectrum;
        EXPECT_EQ(polar.AnalyseSpectrum(samples, work, spectrum), -1.0f) << "estimation is off";
        ASSERT_EQ(spectrum.size(), 64u);
        EXPECT_NEAR(spectrum[c.peakBin].re, c.magnitude, 1e-4f);
        EXPECT_NEAR(spectrum[c.peakBin].im, c.polarPhase, 1e-4f);
        if (c.peakBin != 0) {
            EXPECT_NEAR(spectrum[64 - c.peakBin].re, c.magnitude, 1e-4f) << "the mirror bin";
            EXPECT_NEAR(spectrum[64 - c.peakBin].im, -c.polarPhase, 1e-4f) << "the mirror bin";
        }
        for (int k = 0; k < 64; ++k) {
            if (k == c.peakBin || k == 64 - c.peakBin)
                continue;
            EXPECT_NEAR(spectrum[k].re, 0.0f, 1e-4f) << "bin " << k;
        }

        samples = signal;
        EXPECT_EQ(rectangular.AnalyseSpectrum(samples, work, spectrum), -1.0f);
        EXPECT_NEAR(spectrum[c.peakBin].re, c.realPart, 1e-4f) << "without polar form the parts stay";

        samples = signal;
        std::vector<float> realParts;
        EXPECT_EQ(polar.AnalyseRealParts(samples, work, realParts), -1.0f);
        ASSERT_EQ(realParts.size(), 64u);
        for (int k = 0; k < 64; ++k)
            EXPECT_EQ(realParts[k], work[k].re) << "bin " << k;
        EXPECT_NEAR(realParts[c.peakBin], c.realPart, 1e-4f) << "real parts are never polar";
    }
}

TEST(FftAnalyser, RealInputSpectrumVariantsEstimateAsTheAnalysisDoes)
{
    FftAnalyser& analyser = TunerAnalyser();
    std::vector<float> samples = Tone({{1.0, 1.0}}, 440.0);
    std::vector<Complex> work, spectrum;
    EXPECT_NEAR(analyser.AnalyseSpectrum(samples, work, spectrum), 440.0f, 0.01f);
    ASSERT_EQ(spectrum.size(), 2048u);
    for (int k : {0, 81, 82, 83, 500, 1024})
        EXPECT_FLOAT_EQ(spectrum[k].re, analyser.Magnitudes()[k]) << "polar magnitude of bin " << k;

    samples = Tone({{1.0, 1.0}}, 440.0);
    std::vector<float> realParts;
    EXPECT_NEAR(analyser.AnalyseRealParts(samples, work, realParts), 440.0f, 0.01f);
    EXPECT_EQ(realParts.size(), 2048u);

    // Nothing to hand back without a set-up or with too few samples; what the
    // caller held is not left looking like a spectrum.
    FftAnalyser never;
    for (FftAnalyser* a : {&never, &analyser}) {
        std::vector<float> few(a == &never ? 2048 : 100, 0.5f);
        spectrum.assign(3, Complex());
        realParts.assign(3, 1.0f);
        EXPECT_EQ(a->AnalyseSpectrum(few, work, spectrum), -1.0f);
        EXPECT_EQ(a->AnalyseRealParts(few, work, realParts), -1.0f);
        EXPECT_TRUE(spectrum.empty());
        EXPECT_TRUE(realParts.empty());
    }
}
