#pragma once
// The deviation of the measured frequency from the desired one as a position
// from -1 to +1, full scale at the ends of the policy's scale (plus or minus
// 50 cents for CentsPolicy). Reads the pitch tracker and the application
// state unless given other sources.
#include "app/vis/FrequencySources.h"
#include "app/vis/TuningScale.h"
#include "app/vis/ValueSource.h"

#include <cmath>

template <class Policy> class TuneValueFunctor : public Policy {
public:
    TuneValueFunctor();
    TuneValueFunctor(ScalarSource measured, ScalarSource desired)
        : measured_(std::move(measured))
        , desired_(std::move(desired))
    {
    }
    virtual ~TuneValueFunctor() = default;

    // 0 at the desired frequency (and for a desired frequency of 0), linear
    // in hertz on each side, clamped to -1 and +1.
    virtual float operator()()
    {
        const float f0 = desired_();
        const ScaleBounds bounds = DeviationBoundsOf(static_cast<const Policy&>(*this), f0);
        const float f = measured_();
        if (bounds.hi == f0 || bounds.lo == f0)
            return 0.0f;
        if (f < bounds.lo)
            return -1.0f;
        if (f > bounds.hi)
            return 1.0f;
        if (f > f0)
            return (f - f0) / (bounds.hi - f0);
        // A measurement that is no number sits at rest.
        return f <= f0 ? (f - f0) / (f0 - bounds.lo) : 0.0f;
    }

private:
    ScalarSource measured_;
    ScalarSource desired_;
};

// Closeness to the desired frequency: 1 in tune, falling with the square of
// the deviation to 0 at the scale's ends.
template <class Policy> class TuneSqrAbsValueFunctor : public TuneValueFunctor<Policy> {
public:
    using TuneValueFunctor<Policy>::TuneValueFunctor;

    float operator()() override
    {
        const float d = 1.0f - std::abs(TuneValueFunctor<Policy>::operator()());
        if (d <= 0.0f)
            return 0.0f;
        if (d < 1.0f)
            return d * d;
        return 1.0f;
    }
};

template <class Policy>
TuneValueFunctor<Policy>::TuneValueFunctor()
    : TuneValueFunctor(MeasuredFrequencySource(), DesiredFrequencySource())
{
}
