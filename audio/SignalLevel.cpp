#include "audio/SignalLevel.h"

#include "audio/AppState.h"
#include "audio/AudioDevice.h"

#include <algorithm>
#include <cmath>

float ComputeRms(const std::vector<float>& samples)
{
    double sum = 0.0;
    for (float s : samples)
        sum += s;
    const double mean = sum / double(samples.size());
    double squares = 0.0;
    for (float s : samples) {
        const float d = float(s - mean);
        squares += double(d) * d;
    }
    return float(std::sqrt(squares / double(samples.size())));
}

float LevelDb(const std::vector<float>& samples, float gain, float range, float offset)
{
    return (20.0f * std::log10(ComputeRms(samples) * gain) - offset) / range;
}

bool LevelAbove(const std::vector<float>& samples, float threshold, float scale, float offsetDb, float rangeDb)
{
    const long double level =
        ((20.0L * std::log10((long double)ComputeRms(samples) * scale) - offsetDb) / rangeDb) * rangeDb;
    return level > threshold;
}

bool IsLevelAbove(const std::vector<float>& samples, float threshold)
{
    const AppState& state = AppState::Instance();
    return LevelAbove(samples, threshold, float(AudioDevice::Instance().GetInputFullScale()),
                      float(state.LevelOffsetDb.load()), float(state.LevelRangeDb.load()));
}

std::size_t SoundBeforeStop(const std::vector<float>& samples, std::size_t slice, float fallDb)
{
    const std::size_t count = slice == 0 ? 0 : samples.size() / slice;
    if (count < 2)
        return samples.size();
    // Every stretch about the whole window's mean: a stretch may be shorter
    // than one period of a low note, and its own mean would take most of it
    // away.
    double sum = 0.0;
    for (float s : samples)
        sum += s;
    const double mean = sum / double(samples.size());
    std::vector<double> power(count, 0.0);
    for (std::size_t i = 0; i < count * slice; ++i) {
        const double d = double(samples[i]) - mean;
        power[i / slice] += d * d;
    }
    // The loudest stretch from each one to the window's end.
    std::vector<double> loudestFrom(power);
    for (std::size_t k = count - 1; k > 0; --k)
        loudestFrom[k - 1] = std::max(loudestFrom[k - 1], loudestFrom[k]);
    // Measured from the stretch before the one the fall passes through: a
    // cut may land anywhere in a stretch, and a damped string's release
    // takes two.
    const double fall = std::pow(10.0, -double(fallDb) / 10.0);
    for (std::size_t k = 1; k < count; ++k) {
        const double before = power[k - 1] * fall;
        if (loudestFrom[k] < before)
            return k * slice;
        if (k + 1 < count && loudestFrom[k + 1] < before)
            return (k + 1) * slice;
    }
    return samples.size();
}
