#include "audio/SignalLevel.h"

#include "audio/AppState.h"
#include "audio/AudioDevice.h"

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
