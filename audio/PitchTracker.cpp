#include "audio/PitchTracker.h"

#include "audio/AppState.h"
#include "audio/AudioDevice.h"

#include <loki/Singleton.h>

PitchTracker& PitchTracker::Instance()
{
    return Loki::SingletonHolder<PitchTracker, Loki::CreateUsingNew, Loki::PhoenixSingleton>::Instance();
}

PitchTracker::PitchTracker()
{
    analysed_.reserve(WindowLength);
}

void PitchTracker::SetWindow(const float* samples, unsigned n)
{
    window_.Publish(samples, n);
    newWindow_.store(true, std::memory_order_release);
}

std::vector<float> PitchTracker::Window()
{
    window_.Take();
    std::vector<float> copy;
    window_.CopyTo(copy);
    return copy;
}

float PitchTracker::GetFrequency()
{
    // A window kept from a capture that died measures nothing any more.
    if (AudioDevice::Instance().CaptureLost())
        return -1.0f;
    // Cleared before the window is taken: a window arriving during the
    // analysis raises the flag again and is analysed next time.
    if (newWindow_.exchange(false, std::memory_order_acq_rel)) {
        window_.Take();
        window_.CopyTo(analysed_);
        RunPitchAnalysis(analysed_);
    }
    return analysis_.Frequency();
}

void PitchTracker::RunPitchAnalysis(std::vector<float>& samples)
{
    if (samples.empty())
        return;
    const AppState& state = AppState::Instance();
    PitchAnalysis::Gate gate;
    gate.threshold = float(state.Threshold.load());
    gate.offsetDb = float(state.LevelOffsetDb.load());
    gate.rangeDb = float(state.LevelRangeDb.load());
    gate.fullScale = float(AudioDevice::Instance().GetInputFullScale());
    analysis_.Run(samples, gate);
}
