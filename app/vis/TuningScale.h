#pragma once
// The frequency range a tuning scale spans around a centre frequency: plus or
// minus 50 cents (mirrored in hertz below the centre) or plus or minus half a
// width in hertz, and the needle position of a frequency on it.
#include "audio/MeterPolicy.h"

struct ScaleBounds {
    float lo = 0.0f;
    float hi = 0.0f;
};

// hi = c * 2^(50/1200) (2^(1/1200) in single precision), lo = 2c - hi, both
// in float: the scale the meters label and place the needle on.
ScaleBounds CentsBounds(float centre);
// The same scale for the deviation of the in-tune light, its lower bound
// mirrored from hi before hi is rounded to float.
ScaleBounds DeviationBoundsOf(const CentsPolicy& policy, float centre);
ScaleBounds BoundsOf(const CentsPolicy& policy, float centre);
// c -/+ width / 2, the width being the policy's range.
ScaleBounds BoundsOf(const HertzPolicy& policy, float centre);

// (f - lo) / (hi - lo): 0.5 at the centre, not clamped. No number (NaN) when
// nothing is measured (f of 0 or below, or NaN): the meters then show no
// needle. The centre (0.5) when the range is empty or the result is no number,
// so that a width of 0 or a desired frequency of 0 shows a needle at rest.
float ScalePosition(const ScaleBounds& bounds, float f);
