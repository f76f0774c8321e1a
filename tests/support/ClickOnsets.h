#pragma once
// Finds metronome clicks in a recording of the sound server's output; shared
// by the metronome's sound tests and its benchmark under load.
#include <cmath>
#include <cstddef>
#include <vector>

namespace TestSupport {

// Where each click starts: the first loud sample after a stretch of quiet
// (clicks rise from silence, so quiet lasts until a sample is loud).
inline std::vector<std::size_t> ClickOnsets(const std::vector<float>& x)
{
    std::vector<std::size_t> onsets;
    std::size_t quiet = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const bool loud = std::fabs(x[i]) > 0.05f;
        if (loud && quiet >= 4000)
            onsets.push_back(i);
        quiet = loud ? 0 : quiet + 1;
    }
    return onsets;
}

} // namespace TestSupport
