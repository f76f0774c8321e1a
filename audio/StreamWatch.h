#pragma once
// The audio device's own clock for watching the streams it started: an
// input-less client of the event loop that runs its check every kCheckMs, and
// every kBackgroundCheckMs while nothing of the program shows (all
// minimised); the loop runs it at once when a window comes back.
#include "platform/EventLoop.h"

#include <cstdint>
#include <functional>

class StreamWatch : public Platform::WindowClient {
public:
    explicit StreamWatch(std::function<void()> check);
    ~StreamWatch() override;
    StreamWatch(const StreamWatch&) = delete;
    StreamWatch& operator=(const StreamWatch&) = delete;

    void OnInput(const Platform::HostInput&) override { }
    void OnTick() override;

    // A lost stream is told within this time (or within the stall time of a
    // stream that stops moving); within the longer one while nothing shows.
    static constexpr int kCheckMs = 200;
    static constexpr int kBackgroundCheckMs = 1000;

private:
    std::uint32_t id_;
    std::function<void()> check_;
};
