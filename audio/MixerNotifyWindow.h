#pragma once
// Brings a mixer's change reports to the GUI thread: an input-less client of
// the event loop whose GUI clock runs the mixer's poll on every tick, as a
// hidden window receiving the mixer's messages would.
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

private:
    std::uint32_t id_;
    std::function<void()> poll_;
};
