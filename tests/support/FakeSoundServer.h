// A sound server faked on a socket of our own, as far as a client's greeting
// goes (PulseAudio's native protocol: the client's authentication and its
// name, each answered before the client counts as connected): gone (a socket
// file nobody listens on), stopped (it lets nobody in), one that lets each
// client in and then hangs up, one that hangs up on the greeting, one that
// refuses it, and one that lets clients in and answers nothing more (a server
// stopped just after). Its clients are let go when it ends.
#pragma once

#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FakeSoundServer {
public:
    enum class Kind { Gone, Stopped, Answering, HangingUp, Refusing, AnsweringTheGreetingOnly };

    FakeSoundServer(const std::string& socketPath, Kind kind);
    ~FakeSoundServer();
    FakeSoundServer(const FakeSoundServer&) = delete;
    FakeSoundServer& operator=(const FakeSoundServer&) = delete;

    // False when its socket could not be made.
    bool Listening() const { return listening_; }

private:
    void Serve(Kind kind);

    int listener_ = -1;
    bool listening_ = false;
    std::thread server_;
    std::mutex mutex_;
    std::vector<int> held_;
};
