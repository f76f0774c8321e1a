// Which host buffers a running capture comes in: the frames it has captured
// move by whole host buffers, so the counts seen tell how long those are.
#pragma once

#include "audio/AudioDevice.h"

#include "SoundRig.h"

#include <algorithm>
#include <set>

namespace SoundRig {

// True when every count of captured frames seen over four long buffers' worth
// of sound is a whole number of long buffers.
inline bool CapturesInLongBuffersOnly(::AudioDevice& device)
{
    std::set<unsigned long> seen;
    const auto start = static_cast<unsigned long>(device.Input().StreamTime());
    WaitFor(
        [&] {
            const auto frames = static_cast<unsigned long>(device.Input().StreamTime());
            seen.insert(frames);
            return frames >= start + 4 * ::AudioDevice::SlowCaptureFrames;
        },
        CaptureStartMs);
    return std::all_of(seen.begin(), seen.end(),
                       [](unsigned long f) { return f % ::AudioDevice::SlowCaptureFrames == 0; });
}

} // namespace SoundRig
