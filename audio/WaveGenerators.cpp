#include "audio/WaveGenerators.h"

#include <algorithm>
#include <cmath>

namespace {

long RoundHalfAway(double x)
{
    return long(x < 0.0 ? x - 0.5 : x + 0.5);
}

} // namespace

std::size_t WaveLength(float durationMs, int rate)
{
    const float d = std::min(durationMs, MaxWaveMs);
    return std::size_t(std::max(0L, RoundHalfAway(double(rate) * d * 0.001)));
}

void GenerateWave(float frequency, float durationMs, int rate, std::vector<float>& out, const WaveFunction& wave)
{
    const long length = long(WaveLength(durationMs, rate));
    out.resize(std::size_t(length));
    const double step = double(frequency) * 6.283185307179586 / rate;
    for (long i = 0; i < length; ++i)
        out[std::size_t(i)] = float(wave(float(double(i) * step)));
}

void GenerateSine(float frequency, float durationMs, int rate, std::vector<float>& out)
{
    GenerateWave(frequency, durationMs, rate, out, [](float x) { return std::sin(double(x)); });
}

void GenerateSine(std::vector<float>& out, int rate, float durationMs, float frequency)
{
    GenerateSine(frequency, durationMs, rate, out);
}

void GenerateLongSine(float frequency, float durationMs, int rate, std::vector<float>& out)
{
    out.resize(WaveLength(durationMs, rate));
    const double step = double(frequency) * 6.283185307179586 / rate;
    const double turnCos = std::cos(step), turnSin = std::sin(step);
    // A fresh start every so often: the rounding of the turns never adds up
    // to more than a few parts in 10^13.
    constexpr std::size_t Run = 4096;
    for (std::size_t from = 0; from < out.size(); from += Run) {
        double c = std::cos(double(from) * step), s = std::sin(double(from) * step);
        const std::size_t to = std::min(out.size(), from + Run);
        for (std::size_t i = from; i < to; ++i) {
            out[i] = float(s);
            const double turned = s * turnCos + c * turnSin;
            c = c * turnCos - s * turnSin;
            s = turned;
        }
    }
}

ClickGenerator ToneClick(float frequency)
{
    return [frequency](std::vector<float>& click, int rate, float durationMs, int) {
        GenerateSine(click, rate, durationMs, frequency);
        return true;
    };
}

void FadeOut(std::vector<float>& v, int n)
{
    if (n <= 0)
        return;
    const std::size_t size = v.size();
    for (std::size_t k = 0; k < std::size_t(n) && k < size; ++k)
        v[size - 1 - k] *= float(k) / float(n);
}

int BeatMs(int bpm)
{
    const long double beat = 1000.0L / (long double)(float(bpm) * 0.016666668f);
    return int(beat + 0.5L);
}

long BeatSamples(int bpm, int rate)
{
    if (bpm < 1)
        return 0;
    return RoundHalfAway(double(rate) * BeatMs(bpm) * double(0.001f));
}

bool BuildBeatBuffer(std::vector<float>& beat, int rate, int bpm, const ClickGenerator& generator)
{
    beat.clear();
    // No tempo, no beat (and no division by zero).
    if (bpm < 1 || !generator)
        return false;
    const int beatMs = BeatMs(bpm);
    const long length = BeatSamples(bpm, rate);
    std::vector<float> click;
    if (!generator(click, rate, float(beatMs) * 0.5f, beatMs) || click.empty())
        return false;
    beat.assign(std::size_t(std::max(0L, length)), 0.0f);
    // A sample file may be longer than the half beat it was asked for.
    if (click.size() > beat.size())
        click.resize(beat.size());
    FadeOut(click, 100);
    std::copy(click.begin(), click.end(), beat.begin());
    return true;
}
