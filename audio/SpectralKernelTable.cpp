#include "audio/SpectralKernelTable.h"

#include "audio/FftAnalyser.h"
#include "audio/WindowFunctionRegistry.h"

#include <cmath>

int BuildKernelTable(int n, int requestedCount, const std::vector<float>& window, SpectralKernelTable& out)
{
    if (requestedCount < kStandardKernelCount && n == 2048) {
        LoadPrecomputedKernels(out);
        return kStandardKernelCount;
    }
    ComputeKernels(n, requestedCount, window, out);
    return requestedCount;
}

void ComputeKernels(int n, int requestedCount, const std::vector<float>& window, SpectralKernelTable& out)
{
    out.clear();
    if (n < 8 || requestedCount < 1)
        return;
    out.reserve(requestedCount);

    FftAnalyser transform;
    transform.Configure(n, false, false, 0);
    const bool windowed = window.size() == static_cast<size_t>(n);
    const double pi = 3.14159265358979323846;
    std::vector<Complex> tone(n);
    std::vector<float> magnitudes;
    std::vector<Complex> spectrum;
    for (int j = 0; j < requestedCount; ++j) {
        for (int t = 0; t < n; ++t) {
            // The phase is reduced exactly before the sine is taken, so the
            // tone stays pure over the whole window in double precision.
            const long long cycles = static_cast<long long>(t) * j % (static_cast<long long>(n) * requestedCount);
            const double phase = 2.0 * pi * static_cast<double>(cycles) / (static_cast<double>(n) * requestedCount);
            const float gain = windowed ? window[t] : 1.0f;
            tone[t] = Complex(static_cast<float>(std::cos(phase)) * gain, static_cast<float>(std::sin(phase)) * gain);
        }
        transform.AnalyseComplexSpectrum(tone, magnitudes, spectrum);
        SpectralKernel kernel;
        for (int d = -4; d <= 4; ++d)
            kernel[d + 4] = spectrum[(d + n) % n].Magnitude();
        out.push_back(kernel);
    }
}

namespace {

// The standard table is the window's spectrum sampled in double precision
// rather than through the float transform: a symmetric window's spectrum
// magnitude is |sum of w[t] * cos(2*pi*(t - c)*x/n)| with c the window's
// centre, an even function of the offset x, so the half-bin kernel comes out
// exactly symmetric and kernel 0 peaks at exactly the window's sum.
SpectralKernelTable ComputeStandardKernels()
{
    const int n = 2048;
    const int count = kStandardKernelCount;
    const std::vector<float> window = DolphChebyshevWindow(n, 60.0);
    const double pi = 3.14159265358979323846;
    SpectralKernelTable kernels(count);
    for (int j = 0; j < count; ++j) {
        for (int d = -4; d <= 4; ++d) {
            const double x = std::fabs(d - static_cast<double>(j) / count);
            // Pairs t and n-1-t share |t - c|; the cosine advances by a
            // rotation from t = n/2 outward (t - c = 0.5, 1.5, ...).
            const double step = 2.0 * pi * x / n;
            const double rotateCos = std::cos(step);
            const double rotateSin = std::sin(step);
            double c = std::cos(0.5 * step);
            double s = std::sin(0.5 * step);
            double sum = 0.0;
            for (int t = n / 2; t < n; ++t) {
                sum += (static_cast<double>(window[t]) + window[n - 1 - t]) * c;
                const double nextC = c * rotateCos - s * rotateSin;
                s = s * rotateCos + c * rotateSin;
                c = nextC;
            }
            kernels[j][d + 4] = static_cast<float>(std::fabs(sum));
        }
    }
    return kernels;
}

} // namespace

void LoadPrecomputedKernels(SpectralKernelTable& out)
{
    static const SpectralKernelTable table = ComputeStandardKernels();
    out = table;
}
