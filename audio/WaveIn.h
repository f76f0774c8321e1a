#pragma once
// The one-channel 32-bit float capture stream, opened at construction.
#include "audio/Wave.h"

class WaveIn : public Wave {
public:
    WaveIn(int sampleRate, unsigned long framesPerBuffer);
    ~WaveIn() override = default;

    int Open(int sampleRate, unsigned long framesPerBuffer) override;
};
