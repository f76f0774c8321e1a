#include "audio/SampleBlockBuffer.h"

#include <algorithm>
#include <utility>

SampleBlockBuffer::SampleBlockBuffer(int capacity, SampleSink sink)
    : capacity_(capacity < 1 ? 1 : capacity)
    , buffer_(capacity_, 0.0f)
    , sink_(std::move(sink))
{
}

void SampleBlockBuffer::Deliver(const float* samples, unsigned count)
{
    if (sink_)
        sink_(samples, count);
}

void SampleBlockBuffer::Push(const float* samples, int n)
{
    if (n <= 0)
        return;
    if (n >= capacity_) {
        Deliver(samples, unsigned(capacity_));
        return;
    }
    const int k = std::min(n, capacity_ - fill_);
    std::copy(samples, samples + k, buffer_.begin() + fill_);
    fill_ += k;
    if (fill_ == capacity_) {
        Deliver(buffer_.data(), unsigned(capacity_));
        fill_ = 0;
    }
}
