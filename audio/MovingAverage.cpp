#include "audio/MovingAverage.h"

double MovingAverage::Push(double value)
{
    values_.push_back(value);
    while (int(values_.size()) > limit_ && !values_.empty())
        values_.pop_front();
    return Value();
}

double MovingAverage::Value() const
{
    if (values_.empty())
        return 0.0;
    const double a = 2.0 / (double(values_.size()) + 1.0);
    double v = values_.front();
    for (double x : values_)
        v = a * x + (1.0 - a) * v;
    return v;
}
