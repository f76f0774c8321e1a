#include "audio/PitchAnalysis.h"

#include "audio/SignalLevel.h"

bool PitchAnalysis::Run(const std::vector<float>& samples, const Gate& gate)
{
    if (samples.empty())
        return false;
    return Take(Estimate(samples, gate));
}

float PitchAnalysis::Estimate(const std::vector<float>& samples, const Gate& gate)
{
    if (samples.empty())
        return 0.0f;
    if (!analyser_.IsInitialised())
        analyser_.Init(int(samples.size()), true, 0.01f, SampleRate, 16.0f, true, 4);
    if (!LevelAbove(samples, gate.threshold, gate.fullScale, gate.offsetDb, gate.rangeDb))
        return 0.0f;
    ++estimates_;
    return analyser_.EstimateFrequency(samples);
}

bool PitchAnalysis::Take(float estimate)
{
    ++runs_;
    confirming_ = false;
    // "No pitch" is not a frequency: averaging it in would drag the
    // measurement towards -1 Hz.
    if (!(estimate > 0.0f))
        return false;
    const float filtered = filter_.Filter(estimate);
    confirming_ = filter_.Holding();
    // A new note starts the average afresh: blending the old one in would
    // show notes between the two.
    if (filter_.AcceptedJump())
        average_.Clear();
    frequency_ = float(average_.Push(filtered));
    return true;
}

bool PitchAnalysis::WouldHold(float estimate) const
{
    return estimate > 0.0f && filter_.WouldHold(estimate);
}
