#pragma once
// The output stream's clock for the beat displays: frames played, seconds at
// 44100 Hz (0 while stopped), and the phase of a period at a time.
#include <functional>

class Wave;

class StreamClock {
public:
    // By default the audio device's output stream.
    StreamClock();
    explicit StreamClock(Wave& stream);

    // Frames played since the stream started.
    double Frames() const;
    // Frames as seconds at 44100 Hz; 0 while marked stopped.
    double Seconds() const;
    void SetStopped(bool stopped) { stopped_ = stopped; }
    bool IsStopped() const { return stopped_; }
    bool IsRunning() const;

    // The fraction of the period p that has passed at time t: 1 when the
    // stream does not run, at t = 0, and for a period that is not positive.
    double Phase(double t, double period) const;
    static double Phase(double t, double period, bool running);

private:
    Wave& stream_;
    bool stopped_ = false;
};
