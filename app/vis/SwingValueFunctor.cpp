#include "app/vis/SwingValueFunctor.h"

#include "audio/AudioDevice.h"

SwingValueFunctor::SwingValueFunctor(ScalarSource phase, bool forward, float previous, std::function<bool()> running)
    : phase_(std::move(phase))
    , forward_(forward)
    , previous_(previous)
    , running_(std::move(running))
{
    if (!running_)
        running_ = [] { return AudioDevice::Instance().Output().IsActive(); };
}

float SwingValueFunctor::operator()()
{
    if (!running_()) {
        previous_ = 0.0f;
        forward_ = true;
        return 0.0f;
    }
    const float p = phase_();
    if (p < previous_)
        forward_ = !forward_;
    previous_ = p;
    return forward_ ? p : 1.0f - p;
}
