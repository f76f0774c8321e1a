#pragma once
// One PortAudio stream on the default input or output device: opens, starts,
// stops and closes it and routes its callback to a callable set by the owner.
// Opened, started, stopped and closed on the GUI thread only; the callable is
// replaced only while the stream is closed.
#include "audio/StreamCallback.h"
#include "platform/PaAdapter.h"

class Wave {
public:
    Wave();
    virtual ~Wave();
    Wave(const Wave&) = delete;
    Wave& operator=(const Wave&) = delete;

    virtual int Stop();
    virtual int OpenStream(int inChannels, int outChannels, unsigned long sampleFormat, double sampleRate,
                           unsigned long framesPerBuffer, unsigned long numberOfBuffers);
    virtual int Open(int sampleRate, unsigned long framesPerBuffer) = 0;

    bool Close();
    int Start(bool loop);
    bool IsActive();
    // True (and logged, once per start) when the started stream ended by
    // itself: the device or the sound server went away.
    bool HasDied();
    // Frames played or captured since the last start.
    double StreamTime() const;
    // How long the started stream's frames have not moved (see
    // Platform::Pa::StalledFor).
    Platform::Milliseconds StalledFor() const { return Platform::Pa::StalledFor(stream_); }
    bool IsOpen() const { return stream_ != nullptr; }
    // The frames of each host buffer from the next start on, kept for every
    // stream opened later; 0 for the adapter's own choice (see
    // Platform::Pa::SetHostFrames).
    void SetHostFrames(unsigned long frames);
    unsigned long GetHostFrames() const { return hostFrames_; }

    void SetCallback(const StreamCallback& callback, void* userData);
    int PaCallback(void* input, void* output, unsigned long frames, double outTime, void* userData);

    // Result of the last library call: 0 for success, negative for an error.
    int GetError() const { return error_; }
    // False when the eight stream callbacks of the process were all taken.
    bool HasTrampoline() const { return trampoline_ != nullptr; }

protected:
    // Stores the result and logs it when it is an error.
    int Keep(int result, const char* what);

    Platform::Pa::Stream* stream_ = nullptr;
    int error_ = 0;
    bool deathLogged_ = false;
    unsigned long hostFrames_ = 0;
    Platform::Pa::Callback trampoline_ = nullptr;
    StreamCallback callback_;
    void* userDataSlot_ = nullptr;
    void* userData_ = &userDataSlot_;
};
