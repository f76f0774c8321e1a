#include "app/vis/TuningScale.h"

#include <cmath>
#include <limits>

namespace {

// 2^(1/1200) as a float, raised in double precision.
const double kFiftyCents = std::pow(double(1.0005778074264526f), 50.0);

} // namespace

ScaleBounds CentsBounds(float centre)
{
    ScaleBounds bounds;
    bounds.hi = float(double(centre) * kFiftyCents);
    bounds.lo = 2.0f * centre - bounds.hi;
    return bounds;
}

ScaleBounds DeviationBoundsOf(const CentsPolicy&, float centre)
{
    ScaleBounds bounds;
    const double hi = double(centre) * kFiftyCents;
    bounds.hi = float(hi);
    // Mirrored from the unrounded upper bound, so that its rounding is not counted twice.
    bounds.lo = float(2.0 * double(centre) - hi);
    return bounds;
}

ScaleBounds BoundsOf(const CentsPolicy&, float centre)
{
    return CentsBounds(centre);
}

ScaleBounds BoundsOf(const HertzPolicy& policy, float centre)
{
    return {centre - policy.range * 0.5f, centre + policy.range * 0.5f};
}

float ScalePosition(const ScaleBounds& bounds, float f)
{
    // The tracker gives 0 Hz, or less, when it hears no pitch.
    if (!(f > 0.0f))
        return std::numeric_limits<float>::quiet_NaN();
    const float span = bounds.hi - bounds.lo;
    if (span == 0.0f)
        return 0.5f;
    const float position = (f - bounds.lo) / span;
    return std::isfinite(position) ? position : 0.5f;
}
