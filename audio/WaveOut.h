#pragma once
// The one-channel 32-bit float playback stream; stopping it drops what is queued.
#include "audio/Wave.h"

class WaveOut : public Wave {
public:
    WaveOut(int sampleRate, unsigned long framesPerBuffer, bool openNow);
    ~WaveOut() override = default;

    int Stop() override;
    int Open(int sampleRate, unsigned long framesPerBuffer) override;
};
