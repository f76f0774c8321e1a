#pragma once
// Asks the sound server (PulseAudio's native protocol, which PipeWire speaks
// too) a question of our own that any server answers at once: a stopped or
// hung server does not, and a sound library that opens a stream on it waits
// for it until its own time-out, and may fail badly then. The question never
// blocks: it can be left outstanding and its answer looked for later.
#include "platform/Clock.h"

#include <optional>
#include <string>

namespace Platform {

class SoundServerProbe {
public:
    enum class Reply {
        // The server read the question and answered (even with a refusal).
        Answers,
        // Asked, and no answer within the time given; or its queue of
        // clients waiting to be let in is full.
        Silent,
        // No server listens where its clients look for it (none runs, or it is
        // not reached through a local socket): an open finds that out at once
        // by itself.
        NotReached,
    };

    // socketPath: the server's socket; empty for none known.
    explicit SoundServerProbe(std::string socketPath);
    ~SoundServerProbe();
    SoundServerProbe(const SoundServerProbe&) = delete;
    SoundServerProbe& operator=(const SoundServerProbe&) = delete;

    // Asks, unless a question is still outstanding, and waits at most waitMs
    // for the answer. Silent leaves the question outstanding: a later call
    // with 0 (which waits for nothing) takes the answer it got meanwhile,
    // however old; one that waits asks again instead.
    Reply Ask(Milliseconds waitMs);

    // Where the server's clients find its socket: the first local socket
    // named in PULSE_SERVER (a list), else the user's runtime folder's
    // pulse/native. Empty when the server is named but not by a local socket.
    static std::string SocketPath(const char* pulseServer, const char* runtimeDir);
    // The same from this process's environment.
    static std::string SocketPath();

private:
    // Nothing once the question is asked; otherwise the reply that says why not.
    std::optional<Reply> SendQuestion();
    // The outstanding question's answer, waited for at most waitMs.
    Reply Poll(Milliseconds waitMs);
    void Forget();

    std::string path_;
    // The connection whose question is outstanding; -1 for none.
    int fd_ = -1;
};

} // namespace Platform
