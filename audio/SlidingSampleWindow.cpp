#include "audio/SlidingSampleWindow.h"

#include <algorithm>
#include <utility>

SlidingSampleWindow::SlidingSampleWindow(int length, int hop, SampleSink sink)
    : length_(length < 1 ? 1 : length)
    , hop_(hop < 1 ? 1 : hop)
    , window_(length_, 0.0f)
    , sink_(std::move(sink))
{
}

void SlidingSampleWindow::Deliver(const float* samples, unsigned count)
{
    if (sink_)
        sink_(samples, count);
}

void SlidingSampleWindow::Push(const float* samples, int n)
{
    if (n <= 0)
        return;
    if (n >= length_) {
        Deliver(samples, unsigned(length_));
        return;
    }
    std::copy(window_.begin() + n, window_.end(), window_.begin());
    std::copy(samples, samples + n, window_.end() - n);
    sinceDelivery_ += n;
    if (sinceDelivery_ >= hop_) {
        Deliver(window_.data(), unsigned(length_));
        sinceDelivery_ = 0;
    }
}
