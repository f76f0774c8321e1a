#pragma once
// Brings a mixer's change reports to the GUI thread: an input-less client of
// the event loop whose clock runs the mixer's poll every kPollMs, as a hidden
// window receiving the mixer's messages would. While nothing of the program
// shows (all minimised) no control shows a value: the poll pauses, and the
// loop runs it at once when a window comes back.
#include "platform/EventLoop.h"

#include <cstdint>
#include <functional>

class MixerNotifyWindow : public Platform::WindowClient {
public:
    explicit MixerNotifyWindow(std::function<void()> poll);
    ~MixerNotifyWindow() override;
    MixerNotifyWindow(const MixerNotifyWindow&) = delete;
    MixerNotifyWindow& operator=(const MixerNotifyWindow&) = delete;

    void OnInput(const Platform::HostInput&) override { }
    void OnTick() override;

    // Often enough for a slider dragged in another program to be followed.
    static constexpr int kPollMs = 100;

private:
    std::uint32_t id_;
    std::function<void()> poll_;
};
