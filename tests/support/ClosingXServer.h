#pragma once
// A stand-in X server that lets every client in and closes the connection at
// the client's first request: a display lost just after it let a client in,
// while the X library still asks the server for its defaults. It listens on
// a display number of its own until the object goes.
#include <atomic>
#include <string>
#include <thread>

class ClosingXServer {
public:
    ClosingXServer();
    ~ClosingXServer();
    ClosingXServer(const ClosingXServer&) = delete;
    ClosingXServer& operator=(const ClosingXServer&) = delete;

    bool Listening() const { return listener_ >= 0; }
    // The display's name (":N").
    const std::string& Name() const { return name_; }

private:
    void Serve();

    int listener_ = -1;
    std::string name_;
    std::string path_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
