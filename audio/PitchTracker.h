#pragma once
// The process-wide analysis state: the newest 2048-sample window of decimated
// input (handed over from the capture callback without either thread
// waiting), with the few windows a hop before it, the new-window flag, and on
// the GUI thread the analysis that turns the windows into the measured
// frequency. A use after its destruction at exit creates it anew.
#include "audio/PitchAnalysis.h"
#include "audio/SnapshotBuffer.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace Loki {
template <class T> struct CreateUsingNew;
}

class PitchTracker {
public:
    static constexpr unsigned WindowLength = 2048;
    static constexpr unsigned WindowHop = 128;
    // The windows one hand-over keeps: the newest and those up to five hops
    // (58 ms) before it, which the GUI may not have analysed: the capture
    // often brings two blocks at once, and a steady note is analysed at the
    // display's refresh (every 50 ms).
    static constexpr unsigned KeptWindows = 6;
    static constexpr unsigned BlockLength = WindowLength + (KeptWindows - 1) * WindowHop;

    static PitchTracker& Instance();

    // Engine thread only: copies the window in and raises the flag.
    void SetWindow(const float* samples, unsigned n);
    // Engine thread only: the newest n samples (at most BlockLength, oldest
    // first), whose last WindowLength are the newest window and which hold
    // the windows a hop apart before it; `end` counts the samples captured up
    // to the last of them. Raises the flag.
    void SetWindows(const float* samples, unsigned n, std::uint64_t end);
    bool HasNewWindow() const { return newWindow_.load(); }
    // GUI thread: a copy of the newest window.
    std::vector<float> Window();

    // GUI thread: analyses the newest window when one arrived since the last
    // call, then returns the measured frequency (Hz); -1 (no estimate) once
    // the capture stream has died with its device or sound server. While a
    // new note is being confirmed, or when the newest window may start one,
    // every kept window not yet analysed is, oldest first: the filter takes
    // a note once so many windows agree, and a window passed over would make
    // it wait for another.
    float GetFrequency();
    // GUI thread: whether the last analysis held a new estimate back until
    // more windows agree (see PitchAnalysis::Confirming); never once the
    // capture stream has died.
    bool Confirming() const;
    // The analysis step on the GUI thread's copy of the window, gated by the
    // application state's threshold and level scale.
    void RunPitchAnalysis(std::vector<float>& samples);
    int Runs() const { return analysis_.Runs(); }
    int Estimates() const { return analysis_.Estimates(); }
    const std::vector<float>& Spectrum() const { return analysis_.Spectrum(); }

private:
    friend struct Loki::CreateUsingNew<PitchTracker>;
    PitchTracker();

    // The windows of the block taken last that are due for analysis.
    void AnalyseTakenWindows();
    static PitchAnalysis::Gate CurrentGate();

    SnapshotBuffer window_{BlockLength};
    std::atomic<bool> newWindow_{true};
    // GUI thread only.
    std::vector<float> analysed_;
    // The end (in samples captured) of the last window analysed.
    std::uint64_t analysedEnd_ = 0;
    PitchAnalysis analysis_;
};
