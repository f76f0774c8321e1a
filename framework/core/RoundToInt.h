// The framework's float-to-integer conversion for pixel sizes: to the nearest
// integer, halves away from zero (add 0.5, or -0.5 below zero, then truncate).
// A value beyond an int is kept at its end and one that is not a number is 0:
// converting either is undefined.
#pragma once

#include <climits>
#include <cmath>

namespace Vabo {

inline int RoundToInt(float value)
{
    if (std::isnan(value))
        return 0;
    // The largest float below INT_MAX; INT_MIN is a float exactly.
    constexpr float kHighest = 2147483520.0f;
    const float rounded = value < 0.0f ? value - 0.5f : value + 0.5f;
    if (rounded >= kHighest)
        return static_cast<int>(kHighest);
    if (rounded <= static_cast<float>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(rounded);
}

} // namespace Vabo
