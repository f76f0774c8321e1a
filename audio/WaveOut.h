#pragma once
// The one-channel 32-bit float playback stream; stopping it drops what is queued.
// Everything it plays is held whole before it plays (a loop or a recording),
// so it queues a long way ahead: a loaded machine cannot starve it.
#include "audio/Wave.h"

class WaveOut : public Wave {
public:
    // Seconds of sound queued ahead of what is heard.
    static constexpr double Latency = 0.2;

    WaveOut(int sampleRate, unsigned long framesPerBuffer, bool openNow);
    ~WaveOut() override = default;

    int Stop() override;
    int Open(int sampleRate, unsigned long framesPerBuffer) override;
};
