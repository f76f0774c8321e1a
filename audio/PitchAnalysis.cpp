#include "audio/PitchAnalysis.h"

#include "audio/SignalLevel.h"

bool PitchAnalysis::Run(const std::vector<float>& samples, const Gate& gate)
{
    if (samples.empty())
        return false;
    if (!analyser_.IsInitialised())
        analyser_.Init(int(samples.size()), true, 0.01f, SampleRate, 16.0f, true, 4);
    bool estimated = false;
    if (LevelAbove(samples, gate.threshold, gate.fullScale, gate.offsetDb, gate.rangeDb)) {
        const float f = analyser_.EstimateFrequency(samples);
        // "No pitch" is not a frequency: averaging it in would drag the
        // measurement towards -1 Hz.
        if (f > 0.0f) {
            frequency_ = float(average_.Push(filter_.Filter(f)));
            estimated = true;
        }
    }
    ++runs_;
    return estimated;
}
