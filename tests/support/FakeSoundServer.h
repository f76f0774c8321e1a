// A sound server faked on a socket of our own, as far as the question asked
// before a stream is opened goes: gone (a socket file nobody listens on),
// stopped (it lets nobody in), one that answers or hangs up, and one that
// answers that question only and hangs on everything else (a server stopped
// just after it answered). Its clients are let go when it ends.
#pragma once

#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FakeSoundServer {
public:
    enum class Kind { Gone, Stopped, Answering, HangingUp, AnsweringTheQuestionOnly };

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
