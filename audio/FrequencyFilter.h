#pragma once
// Rejects isolated jumps of the pitch estimate: a new value far from the last
// accepted one is taken only once the recent history agrees with it.
#include <deque>

class FrequencyFilter {
public:
    float Filter(float f);
    float LastAccepted() const { return last_; }

private:
    std::deque<float> history_; // newest first
    int capacity_ = 5;
    float tolerance_ = 25.0f;
    float last_ = 0.0f;
};
