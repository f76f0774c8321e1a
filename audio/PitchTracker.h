#pragma once
// The process-wide analysis state: the newest 2048-sample window of decimated
// input (written by the capture callback under the tracker's own lock), the
// new-window flag, and on the GUI thread the pitch estimator, its smoothing
// and the measured frequency. A use after its destruction at exit creates it anew.
#include <atomic>
#include <mutex>
#include <vector>

namespace Loki { template <class T> struct CreateUsingNew; }

class PitchTracker {
public:
    static constexpr unsigned WindowLength = 2048;

    static PitchTracker& Instance();

    // Engine thread: copies the window in and raises the flag.
    void SetWindow(const float* samples, unsigned n);
    bool HasNewWindow() const { return newWindow_.load(); }
    // GUI thread: a copy of the newest window.
    std::vector<float> Window();

private:
    friend struct Loki::CreateUsingNew<PitchTracker>;
    PitchTracker();

    std::mutex mutex_;
    std::vector<float> window_;
    std::atomic<bool> newWindow_{true};
};
