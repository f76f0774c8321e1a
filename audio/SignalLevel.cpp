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

bool FallsAtEnd(const std::vector<float>& samples, std::size_t tail, float fallDb)
{
    if (tail == 0 || tail >= samples.size())
        return false;
    // Both about the whole window's mean: the tail may be shorter than one
    // period of a low note, and its own mean would take most of it away.
    double sum = 0.0;
    for (float s : samples)
        sum += s;
    const double mean = sum / double(samples.size());
    double whole = 0.0, end = 0.0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double d = double(samples[i]) - mean;
        whole += d * d;
        if (i >= samples.size() - tail)
            end += d * d;
    }
    // Mean squares compared: the tail's power more than fallDb below the whole's.
    return end / double(tail) < whole / double(samples.size()) * std::pow(10.0, -double(fallDb) / 10.0);
}
