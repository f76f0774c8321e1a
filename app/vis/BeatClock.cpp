#include "app/vis/BeatClock.h"

#include "app/vis/StreamClock.h"
#include "audio/AppState.h"
#include "audio/LoopBuffer.h"
#include "audio/WaveGenerators.h"

#include <memory>

namespace {

constexpr int Rate = 44100;

} // namespace

BeatClock::BeatClock()
{
    auto clock = std::make_shared<StreamClock>();
    seconds_ = [clock, loop = &LoopBuffer::Instance()] {
        return IntoBar(clock->Seconds(), loop->SoundStart() / Rate);
    };
    running_ = [clock] { return clock->IsRunning(); };
}

BeatClock::BeatClock(Seconds seconds, Running running)
    : seconds_(std::move(seconds))
    , running_(std::move(running))
{
}

double BeatClock::IntoBar(double played, double barStart)
{
    return played >= barStart ? played - barStart : played;
}

double BeatClock::BeatPeriod(int bpm)
{
    return double(BeatSamples(bpm, Rate)) / Rate;
}

float BeatClock::BeatPhase(double t, int bpm, bool running)
{
    return float(StreamClock::Phase(t, BeatPeriod(bpm), running));
}

float BeatClock::BarPhase(double t, int bpm, int beatsPerBar, bool running)
{
    if (beatsPerBar < 1)
        return 1.0f;
    const double beat = BeatPeriod(bpm);
    return float(StreamClock::Phase(t == 0.0 ? t : t + beat, beatsPerBar * beat, running));
}

float BeatClock::BeatPhaseNow() const
{
    return BeatPhase(seconds_(), AppState::Instance().GetBpm(), running_());
}

float BeatClock::BarPhaseNow() const
{
    const AppState& state = AppState::Instance();
    return BarPhase(seconds_(), state.GetBpm(), state.GetAccent(), running_());
}

float BeatClock::BeatPhaseAt(float t) const
{
    return BeatPhase(t, AppState::Instance().GetBpm(), running_());
}

float BeatClock::BarPhaseAt(float t) const
{
    const AppState& state = AppState::Instance();
    return BarPhase(t, state.GetBpm(), state.GetAccent(), running_());
}

float BeatClock::OutputSeconds() const
{
    return float(seconds_());
}
