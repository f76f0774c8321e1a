#include "audio/Wave.h"

#include "audio/WaveCallbackTable.h"
#include "platform/Log.h"

Wave::Wave()
{
    Keep(Platform::Pa::Initialize(), "initialising the audio library");
    trampoline_ = WaveCallbackTable::Instance().Register(
        [this](void* input, void* output, unsigned long frames, double outTime, void* userData) {
            return PaCallback(input, output, frames, outTime, userData);
        });
    if (!trampoline_)
        Platform::Log("audio: all eight stream callbacks are taken; this stream cannot be opened");
}

Wave::~Wave()
{
    // The table keeps calling into this object while its stream exists.
    if (stream_)
        Close();
    Keep(Platform::Pa::Terminate(), "terminating the audio library");
    callback_ = nullptr;
}

int Wave::Keep(int result, const char* what)
{
    error_ = result;
    if (result != 0)
        Platform::Log(std::string("audio: ") + what + " failed: " + Platform::Pa::ErrorText(result));
    return result;
}

int Wave::Stop()
{
    return Keep(Platform::Pa::StopStream(stream_), "stopping a stream");
}

int Wave::OpenStream(int inChannels, int outChannels, unsigned long sampleFormat, double sampleRate,
                     unsigned long framesPerBuffer, unsigned long numberOfBuffers)
{
    // An open stream would be lost (and keep running) if its handle were replaced.
    if (stream_)
        Close();
    return Keep(Platform::Pa::OpenDefaultStream(&stream_, inChannels, outChannels, sampleFormat, sampleRate,
                                                framesPerBuffer, numberOfBuffers, trampoline_, userData_, hostFrames_),
                "opening a stream");
}

void Wave::SetHostFrames(unsigned long frames)
{
    hostFrames_ = frames;
    if (stream_)
        Platform::Pa::SetHostFrames(stream_, frames);
}

bool Wave::Close()
{
    Keep(Platform::Pa::CloseStream(stream_), "closing a stream");
    stream_ = nullptr;
    return error_ == 0;
}

int Wave::Start(bool loop)
{
    deathLogged_ = false;
    return Keep(Platform::Pa::StartStream(stream_, loop), "starting a stream");
}

bool Wave::IsActive()
{
    return Platform::Pa::StreamActive(stream_) == 1;
}

bool Wave::HasDied()
{
    if (!Platform::Pa::StreamDied(stream_))
        return false;
    if (!deathLogged_)
        Platform::Log("audio: a running stream stopped by itself; the device or the sound server went away");
    deathLogged_ = true;
    return true;
}

double Wave::StreamTime() const
{
    return Platform::Pa::StreamTime(stream_);
}

void Wave::SetCallback(const StreamCallback& callback, void* userData)
{
    callback_ = callback;
    if (userData)
        userData_ = userData;
}

int Wave::PaCallback(void* input, void* output, unsigned long frames, double outTime, void* userData)
{
    if (!callback_)
        return 0;
    return callback_(input, output, frames, outTime, userData);
}
