#pragma once
// Where the metronome's output stands in its beat and in its bar, from the
// output stream's clock. The beat lasts the samples of the beat actually
// played (a whole number of milliseconds), so the displays keep step with the
// sound however long it runs, and from where the bar that plays began, so a
// bar taken over while playing keeps them in step. The bar counts from the
// accented beat, the last of the played bar.
#include <functional>

class BeatClock {
public:
    // Seconds of output played, and whether the stream runs.
    using Seconds = std::function<double()>;
    using Running = std::function<bool()>;

    // The audio device's output stream and the loop buffer it plays.
    BeatClock();
    BeatClock(Seconds seconds, Running running);

    // Seconds played since the bar that plays began at barStart; before the
    // bar is heard (barStart ahead), since the stream started.
    static double IntoBar(double played, double barStart);
    // The beat's length in seconds at bpm; 0 below 1 bpm.
    static double BeatPeriod(int bpm);

    // Phases in [0, 1) while the output plays; 1 when it is stopped, at time
    // 0, and for a tempo or beats per bar below 1.
    float BeatPhaseNow() const;
    float BarPhaseNow() const;
    float BeatPhaseAt(float t) const;
    float BarPhaseAt(float t) const;
    float OutputSeconds() const;
    bool IsRunning() const { return running_(); }

    static float BeatPhase(double t, int bpm, bool running);
    static float BarPhase(double t, int bpm, int beatsPerBar, bool running);

private:
    Seconds seconds_;
    Running running_;
};
