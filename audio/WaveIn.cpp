#include "audio/WaveIn.h"

WaveIn::WaveIn(int sampleRate, unsigned long framesPerBuffer)
{
    WaveIn::Open(sampleRate, framesPerBuffer);
}

int WaveIn::Open(int sampleRate, unsigned long framesPerBuffer)
{
    return OpenStream(1, 0, Platform::Pa::Float32, double(sampleRate), framesPerBuffer, 0);
}
