#pragma once
// The one-channel 32-bit float playback stream; stopping it fades the sound
// out, and nothing after the fade is heard. Everything it plays is held
// whole before it plays (a loop or a recording), so it queues ahead two host
// buffers, which real-time priority keeps filled on a loaded machine; no
// more, since a stop's fade is heard only after them.
#include "audio/Wave.h"

class WaveOut : public Wave {
public:
    // Seconds of sound queued ahead of what is heard, at least (whole host
    // buffers).
    static constexpr double Latency = 0.09;

    WaveOut(int sampleRate, unsigned long framesPerBuffer, bool openNow);
    ~WaveOut() override = default;

    int Stop() override;
    int Open(int sampleRate, unsigned long framesPerBuffer) override;
};
