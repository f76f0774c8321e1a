#include "audio/PitchTracker.h"

#include "audio/AppState.h"
#include "audio/AudioDevice.h"

#include <loki/Singleton.h>

#include <algorithm>

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
    window_.Publish(samples, n, 0);
    newWindow_.store(true, std::memory_order_release);
}

void PitchTracker::SetWindows(const float* samples, unsigned n, std::uint64_t end)
{
    window_.Publish(samples, n, end);
    newWindow_.store(true, std::memory_order_release);
}

std::vector<float> PitchTracker::Window()
{
    window_.Take();
    const std::size_t size = window_.Size();
    const std::size_t from = size > WindowLength ? size - WindowLength : 0;
    return std::vector<float>(window_.Data() + from, window_.Data() + size);
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
        AnalyseTakenWindows();
    }
    return analysis_.Frequency();
}

void PitchTracker::AnalyseTakenWindows()
{
    const std::size_t size = window_.Size();
    if (size == 0)
        return;
    const std::uint64_t end = window_.Tag();
    // A block holds the newest window and the kept ones a hop apart before it
    // (a window of its own length or less is one window).
    const std::size_t kept = size > WindowLength ? (size - WindowLength) / WindowHop + 1 : 1;
    const std::size_t fresh =
        end > analysedEnd_ ? std::min<std::uint64_t>(kept, (end - analysedEnd_ + WindowHop - 1) / WindowHop) : 1;
    analysedEnd_ = end;
    const std::size_t length = std::min<std::size_t>(size, WindowLength);
    const auto take = [&](std::size_t hopsBack) {
        const float* from = window_.Data() + (size - length - hopsBack * WindowHop);
        analysed_.assign(from, from + length);
    };
    const PitchAnalysis::Gate gate = CurrentGate();
    // Steady, the newest window alone tells the note. When it may start a new
    // one, the windows before it count: each of them that agrees brings the
    // note sooner.
    const bool confirming = analysis_.Confirming();
    std::size_t older = confirming ? fresh - 1 : 0;
    float newest = 0.0f;
    if (!confirming) {
        take(0);
        newest = analysis_.Estimate(analysed_, gate);
        if (fresh > 1 && analysis_.WouldHold(newest))
            older = fresh - 1;
    }
    for (std::size_t k = older; k > 0; --k) {
        take(k);
        analysis_.Run(analysed_, gate);
    }
    if (confirming || older > 0) {
        // (Again) after the older ones: the spectrum left is the newest window's.
        take(0);
        newest = analysis_.Estimate(analysed_, gate);
    }
    analysis_.Take(newest);
}

bool PitchTracker::Confirming() const
{
    return analysis_.Confirming() && !AudioDevice::Instance().CaptureLost();
}

void PitchTracker::RunPitchAnalysis(std::vector<float>& samples)
{
    if (samples.empty())
        return;
    analysis_.Run(samples, CurrentGate());
}

PitchAnalysis::Gate PitchTracker::CurrentGate()
{
    const AppState& state = AppState::Instance();
    PitchAnalysis::Gate gate;
    gate.threshold = float(state.Threshold.load());
    gate.offsetDb = float(state.LevelOffsetDb.load());
    gate.rangeDb = float(state.LevelRangeDb.load());
    gate.fullScale = float(AudioDevice::Instance().GetInputFullScale());
    return gate;
}
