#include "audio/PitchTracker.h"

#include <loki/Singleton.h>

PitchTracker& PitchTracker::Instance()
{
    return Loki::SingletonHolder<PitchTracker, Loki::CreateUsingNew, Loki::PhoenixSingleton>::Instance();
}

PitchTracker::PitchTracker()
{
    // The capture's copies must not allocate.
    window_.reserve(WindowLength);
}

void PitchTracker::SetWindow(const float* samples, unsigned n)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (n > window_.capacity())
        n = unsigned(window_.capacity());
    window_.assign(samples, samples + n);
    newWindow_.store(true);
}

std::vector<float> PitchTracker::Window()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return window_;
}
