#pragma once
// Exponential average over the most recent values (at most `limit` of them),
// smoothing the measured frequency.
#include <deque>

class MovingAverage {
public:
    explicit MovingAverage(int limit)
        : limit_(limit)
    {
    }

    double Push(double value);
    double Value() const;
    void Clear() { values_.clear(); }
    int Size() const { return int(values_.size()); }

private:
    std::deque<double> values_; // oldest first
    int limit_;
};
