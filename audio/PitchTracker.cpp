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
    // The capture's copies must not allocate.
    window_.reserve(WindowLength);
}

void PitchTracker::SetWindow(const float* samples, unsigned n)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (n > window_.capacity())
        n = unsigned(window_.capacity());
    window_.assign(samples, samples + n);
    newWindow_.store(true);
}

std::vector<float> PitchTracker::Window()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return window_;
}

float PitchTracker::GetFrequency()
{
    // Taken before the copy: a window arriving during the analysis raises the
    // flag again and is analysed next time.
    if (newWindow_.exchange(false)) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            analysed_ = window_;
        }
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
