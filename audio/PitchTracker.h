#pragma once
// The process-wide analysis state: the newest 2048-sample window of decimated
// input (handed over from the capture callback without either thread
// waiting), the new-window flag, and on the GUI thread the analysis that turns
// the window into the measured frequency. A use after its destruction at exit
// creates it anew.
#include "audio/PitchAnalysis.h"
#include "audio/SnapshotBuffer.h"

#include <atomic>
#include <vector>

namespace Loki {
template <class T> struct CreateUsingNew;
}

class PitchTracker {
public:
    static constexpr unsigned WindowLength = 2048;

    static PitchTracker& Instance();

    // Engine thread only: copies the window in and raises the flag.
    void SetWindow(const float* samples, unsigned n);
    bool HasNewWindow() const { return newWindow_.load(); }
    // GUI thread: a copy of the newest window.
    std::vector<float> Window();

    // GUI thread: analyses the newest window when one arrived since the last
    // call, then returns the measured frequency (Hz); -1 (no estimate) once
    // the capture stream has died with its device or sound server. Windows
    // that came and went between two calls are not analysed.
    float GetFrequency();
    // The analysis step on the GUI thread's copy of the window, gated by the
    // application state's threshold and level scale.
    void RunPitchAnalysis(std::vector<float>& samples);
    int Runs() const { return analysis_.Runs(); }
    int Estimates() const { return analysis_.Estimates(); }
    const std::vector<float>& Spectrum() const { return analysis_.Spectrum(); }

private:
    friend struct Loki::CreateUsingNew<PitchTracker>;
    PitchTracker();

    SnapshotBuffer window_{WindowLength};
    std::atomic<bool> newWindow_{true};
    // GUI thread only.
    std::vector<float> analysed_;
    PitchAnalysis analysis_;
};
