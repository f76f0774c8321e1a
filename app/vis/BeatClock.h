#pragma once
// Where the metronome's output stands in its beat and in its bar, from the
// output stream's clock and the loop buffer's record of the bars it played.
// The beat and the bar are those of the bar heard at that time: a tempo or
// accent changed while playing is heard from the next beat of the old bar,
// and shown from there, not before. The beat lasts the samples of the beat
// actually played (a whole number of milliseconds), so the displays keep step
// with the sound however long it runs. The bar counts from the accented
// beat, the last of the played bar. Without a bar played from the loop buffer
// (the recording plays), the tempo and beats per bar of AppState count from
// the stream's start.
#include "audio/LoopBuffer.h"

#include <functional>

class BeatClock {
public:
    // Seconds of output played, and whether the stream runs.
    using Seconds = std::function<double()>;
    using Running = std::function<bool()>;
    // The bar played at a stream frame (LoopBuffer::PlayedAt).
    using PlayedAt = std::function<bool(double frame, LoopBuffer::Played& played)>;

    // The audio device's output stream and the loop buffer it plays.
    BeatClock();
    BeatClock(Seconds seconds, Running running, PlayedAt playedAt = {});

    // The beat's length in seconds at bpm; 0 below 1 bpm.
    static double BeatPeriod(int bpm);

    // Phases in [0, 1) while the output plays; 1 when it is stopped, at time
    // 0, for silence, and for a tempo or beats per bar below 1.
    float BeatPhaseNow() const;
    float BarPhaseNow() const;
    float BeatPhaseAt(float t) const;
    float BarPhaseAt(float t) const;
    // Seconds played since the stream started.
    float OutputSeconds() const;
    // Seconds until the next beat is heard, as the output plays on; negative
    // while it rests.
    double ToNextBeat() const;
    bool IsRunning() const { return running_(); }

private:
    // The bar heard at t seconds: where it began, its beat and its length, in
    // seconds.
    struct Bar {
        double start = 0.0;
        double beat = 0.0;
        double length = 0.0;
    };
    Bar BarAt(double t) const;
    float BeatPhase(double t, bool running) const;
    float BarPhase(double t, bool running) const;

    Seconds seconds_;
    Running running_;
    PlayedAt playedAt_;
};
