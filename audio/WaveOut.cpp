#include "audio/WaveOut.h"

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
    return OpenStream(0, 1, Platform::Pa::Float32, double(sampleRate), framesPerBuffer, 0);
}
