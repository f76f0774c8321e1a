#include "audio/FrequencyFilter.h"

#include <cmath>

float FrequencyFilter::Filter(float f)
{
    history_.push_front(f);
    if (int(history_.size()) > capacity_)
        history_.pop_back();
    if (std::fabs(f - last_) < tolerance_)
        return f;
    for (float h : history_) {
        if (std::fabs(f - h) > tolerance_)
            return last_;
    }
    last_ = f;
    return f;
}
