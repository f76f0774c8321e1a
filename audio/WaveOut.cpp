#include "audio/WaveOut.h"

#include <algorithm>
#include <cmath>

WaveOut::WaveOut(int sampleRate, unsigned long framesPerBuffer, bool openNow)
{
    if (openNow)
        WaveOut::Open(sampleRate, framesPerBuffer);
}

int WaveOut::Stop()
{
    return Keep(Platform::Pa::AbortStream(stream_), "stopping playback");
}

int WaveOut::Open(int sampleRate, unsigned long framesPerBuffer)
{
    // No frames is refused by the open itself.
    const unsigned long host = std::max(1UL, Platform::Pa::HostFrames(framesPerBuffer));
    const auto buffers = static_cast<unsigned long>(std::ceil(Latency * sampleRate / double(host)));
    return OpenStream(0, 1, Platform::Pa::Float32, double(sampleRate), framesPerBuffer, buffers);
}
