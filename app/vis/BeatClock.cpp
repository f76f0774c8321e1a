#include "app/vis/BeatClock.h"

#include "app/vis/StreamClock.h"
#include "audio/AppState.h"
#include "audio/WaveGenerators.h"

#include <cmath>
#include <memory>

namespace {

constexpr int Rate = LoopBuffer::Rate;

// The fraction of the period passed at t since periods began at from (before
// it too), in [0, 1); 1, the rest, for a period that is not positive.
float Fraction(double t, double from, double period)
{
    if (!(period > 0.0))
        return 1.0f;
    const double into = t - from;
    const float fraction = float((into - std::floor(into / period) * period) / period);
    // Rounded up to the whole period, the next one has begun.
    return fraction < 1.0f ? fraction : 0.0f;
}

} // namespace

BeatClock::BeatClock()
{
    auto clock = std::make_shared<StreamClock>();
    seconds_ = [clock] { return clock->Seconds(); };
    running_ = [clock] { return clock->IsRunning(); };
    playedAt_ = [loop = &LoopBuffer::Instance()](double frame, LoopBuffer::Played& played) {
        return loop->PlayedAt(frame, played);
    };
}

BeatClock::BeatClock(Seconds seconds, Running running, PlayedAt playedAt)
    : seconds_(std::move(seconds))
    , running_(std::move(running))
    , playedAt_(std::move(playedAt))
{
}

double BeatClock::BeatPeriod(int bpm)
{
    return double(BeatSamples(bpm, Rate)) / Rate;
}

BeatClock::Bar BeatClock::BarAt(double t) const
{
    LoopBuffer::Played played;
    if (playedAt_ && playedAt_(t * Rate, played))
        return {played.start / Rate, double(played.beat) / Rate, double(played.bar) / Rate};
    const AppState& state = AppState::Instance();
    const double beat = BeatPeriod(state.GetBpm());
    return {0.0, beat, state.GetAccent() * beat};
}

float BeatClock::BeatPhase(double t, bool running) const
{
    if (!running || t == 0.0)
        return 1.0f;
    const Bar bar = BarAt(t);
    return Fraction(t, bar.start, bar.beat);
}

float BeatClock::BarPhase(double t, bool running) const
{
    if (!running || t == 0.0)
        return 1.0f;
    const Bar bar = BarAt(t);
    return Fraction(t, bar.start - bar.beat, bar.length);
}

float BeatClock::BeatPhaseNow() const
{
    return BeatPhase(seconds_(), running_());
}

float BeatClock::BarPhaseNow() const
{
    return BarPhase(seconds_(), running_());
}

float BeatClock::BeatPhaseAt(float t) const
{
    return BeatPhase(t, running_());
}

float BeatClock::BarPhaseAt(float t) const
{
    return BarPhase(t, running_());
}

float BeatClock::OutputSeconds() const
{
    return float(seconds_());
}

double BeatClock::ToNextBeat() const
{
    const double t = seconds_();
    const float phase = BeatPhase(t, running_());
    return phase < 1.0f ? (1.0 - double(phase)) * BarAt(t).beat : -1.0;
}
