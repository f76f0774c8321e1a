#include "audio/WindowFunctionRegistry.h"

#include "audio/Complex.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

double ChebyshevPolynomial(int order, double x)
{
    if (std::fabs(x) <= 1.0)
        return std::cos(order * std::acos(x));
    if (x > 1.0)
        return std::cosh(order * std::acosh(x));
    const double sign = (order % 2 == 0) ? 1.0 : -1.0;
    return sign * std::cosh(order * std::acosh(-x));
}

std::vector<float> DolphChebyshevWindow(int n, double sideLobeDb)
{
    std::vector<float> window;
    if (n < 1)
        return window;
    if (n == 1)
        return {1.0f};

    // Evaluated in double and normalised afterwards: the sum is a difference
    // of terms around 1e3 whose float rounding would show in the window's
    // small tail coefficients.
    const double ratio = std::pow(10.0, sideLobeDb / 20.0);
    const double x0 = std::cosh(std::acosh(ratio) / (n - 1));
    const double pi = 3.14159265358979323846;
    const int terms = (n - 1) / 2;
    std::vector<double> spectrum(terms + 1);
    for (int k = 1; k <= terms; ++k)
        spectrum[k] = ChebyshevPolynomial(n - 1, x0 * std::cos(pi * k / n));

    std::vector<double> w(n);
    const double centre = (n - 1) / 2.0;
    for (int i = 0; i < (n + 1) / 2; ++i) {
        double sum = 0.0;
        for (int k = 1; k <= terms; ++k)
            sum += spectrum[k] * std::cos(2.0 * pi * k * (i - centre) / n);
        w[i] = ratio + 2.0 * sum;
        w[n - 1 - i] = w[i];
    }
    const double peak = *std::max_element(w.begin(), w.end());
    window.resize(n);
    for (int i = 0; i < n; ++i)
        window[i] = static_cast<float>(w[i] / peak);
    return window;
}

namespace {

// Fills a window given by its coefficient at angle x = i * 2*pi/(n-1); the
// angle step is rounded to float as the estimator's tables are.
template <typename Coefficient> bool FillCosineWindow(int n, std::vector<float>& out, Coefficient coefficient)
{
    if (n < 2)
        return false;
    const float step = Complex::kTwoPi / static_cast<float>(n - 1);
    out.resize(n);
    for (int i = 0; i < n; ++i)
        out[i] = static_cast<float>(coefficient(static_cast<float>(i) * step));
    return true;
}

bool FillNothing(int, std::vector<float>&)
{
    return false;
}

// The 60 dB window costs n^2/2 cosines; every analyser of a size shares the
// one computed first, as the sizes the tuner uses were always carried ready
// made rather than computed at each set-up.
std::vector<float> CachedDolphChebyshevWindow(int n)
{
    static std::mutex mutex;
    static std::map<int, std::vector<float>> windows;
    std::lock_guard<std::mutex> lock(mutex);
    auto it = windows.find(n);
    if (it == windows.end())
        it = windows.emplace(n, DolphChebyshevWindow(n, 60.0)).first;
    return it->second;
}

} // namespace

WindowFunctionRegistry::WindowFunctionRegistry()
{
    functions_[None] = FillNothing;
    functions_[Hamming] = [](int n, std::vector<float>& out) {
        return FillCosineWindow(n, out, [](float x) { return 0.54 - 0.46 * std::cos(x); });
    };
    // Id 2 names no window: a configuration that asks for it runs unwindowed.
    functions_[2] = FillNothing;
    functions_[Blackman] = [](int n, std::vector<float>& out) {
        return FillCosineWindow(n, out, [](float x) { return 0.42 - 0.5 * std::cos(x) + 0.08 * std::cos(2.0f * x); });
    };
    functions_[DolphChebyshev60] = [](int n, std::vector<float>& out) {
        out = CachedDolphChebyshevWindow(n);
        return !out.empty();
    };
    functions_[Hann] = [](int n, std::vector<float>& out) {
        return FillCosineWindow(n, out, [](float x) { return 0.5 * (1.0 - std::cos(x)); });
    };
    functions_[BlackmanHarris] = [](int n, std::vector<float>& out) {
        return FillCosineWindow(n, out, [](float x) {
            return 0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2.0f * x) - 0.01168 * std::cos(3.0f * x);
        });
    };
}

bool WindowFunctionRegistry::Fill(int id, int n, std::vector<float>& out) const
{
    const auto it = functions_.find(id);
    if (it == functions_.end())
        return false;
    return it->second(n, out);
}
