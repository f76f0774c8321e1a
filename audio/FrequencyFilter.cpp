#include "audio/FrequencyFilter.h"

#include <algorithm>
#include <cmath>

float FrequencyFilter::Filter(float f)
{
    jumped_ = false;
    holding_ = false;
    history_.push_front(f);
    if (int(history_.size()) > capacity_)
        history_.pop_back();
    if (Near(f, last_))
        return f;
    for (float h : history_) {
        if (!Near(f, h)) {
            holding_ = true;
            return last_;
        }
    }
    last_ = f;
    jumped_ = true;
    return f;
}

bool FrequencyFilter::WouldHold(float f) const
{
    if (Near(f, last_))
        return false;
    // The history Filter would see: f, then the newest values that stay.
    const std::size_t kept = std::min(history_.size(), std::size_t(capacity_ - 1));
    for (std::size_t i = 0; i < kept; ++i)
        if (!Near(f, history_[i]))
            return true;
    return false;
}

bool FrequencyFilter::Near(float a, float b) const
{
    // The tolerance is relative: 25 Hz is a fifth at 82 Hz but a fifth of a
    // semitone at 2000 Hz.
    if (!(a > 0.0f) || !(b > 0.0f))
        return a == b;
    return std::fabs(1200.0f * std::log2(a / b)) <= toleranceCents_;
}
