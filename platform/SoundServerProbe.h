#pragma once
// Asks whether the sound server answers: connects to it through PulseAudio's
// own client library (PipeWire serves it too), which finds the server however
// it is named, as the sound libraries' ALSA plugin does. A stopped or hung
// server lets the connection in but never answers it, and a sound library
// that opens a stream on it waits for it until its own time-out, and may fail
// badly then. The question never blocks: it can be left outstanding and its
// answer looked for later. One thread at a time.
#include "platform/Clock.h"

#include <memory>

namespace Platform {

class PulseClientLibrary;

class SoundServerProbe {
public:
    enum class Reply {
        // The server answered the client's authentication (or answered at
        // all: refused it, hung up).
        Answers,
        // It did not answer within the time given, or not within the
        // library's own time (it let the connection in and went silent).
        Silent,
        // No server is where its clients look for it (none runs, or none is
        // named that the library can reach), or there is no client library:
        // an open finds that out at once by itself. A server that was
        // silent to a question waited for turns the library away once its
        // queue of clients waiting to be let in is full: that is Silent
        // still, until a server answers.
        NotReached,
    };

    // library: the client library to ask through (the system's by default).
    SoundServerProbe();
    explicit SoundServerProbe(PulseClientLibrary& library);
    ~SoundServerProbe();
    SoundServerProbe(const SoundServerProbe&) = delete;
    SoundServerProbe& operator=(const SoundServerProbe&) = delete;

    // Asks, unless a question is still outstanding, and waits at most waitMs
    // for the answer. Silent leaves the question outstanding (never more
    // than one: each takes a place in a stopped server's queue): a later
    // call with 0 (which waits for nothing) takes the answer it got
    // meanwhile, however old; one that waits asks again instead. Each new
    // question looks for the server anew, in the environment of that moment.
    Reply Ask(Milliseconds waitMs);

private:
    struct Question;

    // Moves the outstanding question on for at most waitMs; its reply.
    Reply Wait(Milliseconds waitMs);
    // The reply of a question the library has ended.
    Reply Ended();

    PulseClientLibrary& library_;
    std::unique_ptr<Question> question_;
    // A question went unanswered for a wait, and no server answered since.
    bool heardSilence_ = false;
};

} // namespace Platform
