#include "audio/FrequencyFilter.h"

#include <cmath>

float FrequencyFilter::Filter(float f)
{
    jumped_ = false;
    history_.push_front(f);
    if (int(history_.size()) > capacity_)
        history_.pop_back();
    if (Near(f, last_))
        return f;
    for (float h : history_) {
        if (!Near(f, h))
            return last_;
    }
    last_ = f;
    jumped_ = true;
    return f;
}

bool FrequencyFilter::Near(float a, float b) const
{
    // The tolerance is relative: 25 Hz is a fifth at 82 Hz but a fifth of a
    // semitone at 2000 Hz.
    if (!(a > 0.0f) || !(b > 0.0f))
        return a == b;
    return std::fabs(1200.0f * std::log2(a / b)) <= toleranceCents_;
}
