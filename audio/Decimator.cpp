#include "audio/Decimator.h"

#include <cmath>

namespace {

double BesselI0(double x)
{
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 50; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
        if (term < sum * 1e-12)
            break;
    }
    return sum;
}

// Windowed sinc with a Kaiser window (beta 7: about 70 dB stop-band
// attenuation), normalised to unity gain at 0 Hz; symmetric.
std::vector<float> LowPass(int taps, double sampleRate, double cutoffHz)
{
    const double beta = 7.0;
    const double fc = cutoffHz / sampleRate;
    const double middle = (taps - 1) / 2.0;
    std::vector<double> h(taps);
    double sum = 0.0;
    // Each half mirrors the other exactly: the filter relies on it.
    for (int i = 0; i < taps; ++i) {
        const double t = i - middle;
        const double sinc = t == 0.0 ? 2.0 * fc : std::sin(2.0 * M_PI * fc * t) / (M_PI * t);
        const double r = middle > 0.0 ? t / middle : 0.0;
        h[i] =
            t > 0.0 ? h[taps - 1 - i] : sinc * BesselI0(beta * std::sqrt(std::max(0.0, 1.0 - r * r))) / BesselI0(beta);
        sum += h[i];
    }
    std::vector<float> out(taps);
    for (int i = 0; i < taps; ++i)
        out[i] = float(h[i] / sum);
    return out;
}

} // namespace

Decimator::Decimator(int factor, int taps, double sampleRate, double cutoffHz)
    : factor_(factor < 1 ? 1 : factor)
    , coefficients_(LowPass(taps < 1 ? 1 : taps, sampleRate, cutoffHz))
    , history_(2 * coefficients_.size(), 0.0f)
{
}

void Decimator::Reset()
{
    std::fill(history_.begin(), history_.end(), 0.0f);
    position_ = 0;
    phase_ = 0;
}

int Decimator::Process(const float* in, int count, float* out)
{
    const int taps = int(coefficients_.size());
    const int pairs = taps / 2;
    const float* c = coefficients_.data();
    int written = 0;
    for (int i = 0; i < count; ++i) {
        position_ = position_ == 0 ? taps - 1 : position_ - 1;
        history_[position_] = in[i];
        history_[position_ + taps] = in[i];
        if (++phase_ < factor_)
            continue;
        phase_ = 0;
        // history_[position_] is the newest input. The filter is symmetric,
        // so each coefficient multiplies the sum of its two inputs, and four
        // sums run side by side: a single chain of additions waited for
        // itself at every tap, on the capture thread, 11025 times a second.
        const float* x = &history_[position_];
        const float* y = x + taps - 1;
        double acc[4] = {0.0, 0.0, 0.0, 0.0};
        int k = 0;
        for (; k + 4 <= pairs; k += 4)
            for (int lane = 0; lane < 4; ++lane)
                acc[lane] += double(c[k + lane]) * (double(x[k + lane]) + double(y[-(k + lane)]));
        for (; k < pairs; ++k)
            acc[k % 4] += double(c[k]) * (double(x[k]) + double(y[-k]));
        if (taps % 2 != 0)
            acc[0] += double(c[pairs]) * x[pairs];
        out[written++] = float((acc[0] + acc[1]) + (acc[2] + acc[3]));
    }
    return written;
}

int DecimateByMean(const float* in, int factor, int count, float* out)
{
    if (factor < 2) {
        for (int i = 0; i < count; ++i)
            out[i] = in[i];
        return count;
    }
    const int groups = count < 1 ? 0 : count / factor;
    for (int g = 0; g < groups; ++g) {
        double sum = 0.0;
        for (int k = 0; k < factor; ++k)
            sum += in[g * factor + k];
        out[g] = float(sum * (1.0 / factor));
    }
    return count / factor;
}
