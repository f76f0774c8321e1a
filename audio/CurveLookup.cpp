#include "audio/CurveLookup.h"

#include <cmath>

float InterpolateCurve(const LoudnessCurve& curve, float x)
{
    if (curve.empty())
        return 0.0f;
    const auto high = curve.lower_bound(x);
    if (high == curve.begin())
        return high->second;
    if (high == curve.end())
        return curve.rbegin()->second;
    const auto low = std::prev(high);
    return (x - low->first) / (high->first - low->first) * (high->second - low->second) + low->second;
}

float LoudnessGain(const LoudnessCurve& curve, float f)
{
    return std::pow(10.0f, 0.05f * InterpolateCurve(curve, f));
}
