#pragma once
// The newest full block of decimated input (512 samples at 11025 Hz) for the
// sample displays: written by the capture callback, read on the GUI thread,
// handed over without either thread waiting. Process-wide; use after
// destruction at exit throws std::logic_error "Dead Reference Detected".
#include "audio/SnapshotBuffer.h"

#include <vector>

namespace Vabo {
template <class T> struct CreateWithExitRelease;
}

class LatestBlock {
public:
    static constexpr unsigned BlockSize = 512;

    static LatestBlock& Instance();

    // Engine thread only.
    void Set(const float* samples, unsigned n);
    // GUI thread only. The newest block; zeros of its length while the
    // capture stream is not running.
    void CopyTo(std::vector<float>& destination);
    std::vector<float>& Get();

private:
    friend struct Vabo::CreateWithExitRelease<LatestBlock>;
    LatestBlock();

    SnapshotBuffer block_{BlockSize};
    std::vector<float> reader_;
};
