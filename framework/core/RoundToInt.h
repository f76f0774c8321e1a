// The framework's float-to-integer conversion for pixel sizes: to the nearest
// integer, halves away from zero (add 0.5, or -0.5 below zero, then
// truncate). The sum is formed in double precision, so a float just below a
// half (0.49999997) stays below it and an odd float above 2^23 keeps its
// value. A value beyond the 64-bit range is kept at its end and one that is
// not a number is 0: converting either is undefined.
#pragma once

#include <climits>
#include <cmath>
#include <cstdint>

namespace Vabo {

inline std::int64_t RoundToInt(float value)
{
    if (std::isnan(value))
        return 0;
    const double x = value;
    const double rounded = x < 0.0 ? x - 0.5 : x + 0.5;
    // 2^63 is a double exactly; every double below it converts.
    constexpr double kBeyond = 9223372036854775808.0;
    if (rounded >= kBeyond)
        return INT64_MAX;
    if (rounded <= -kBeyond)
        return INT64_MIN;
    return static_cast<std::int64_t>(rounded);
}

// A rounded size for what holds it in an int: kept at the int's ends.
inline int RoundToIntSize(float value)
{
    const std::int64_t rounded = RoundToInt(value);
    if (rounded > INT_MAX)
        return INT_MAX;
    if (rounded < INT_MIN)
        return INT_MIN;
    return static_cast<int>(rounded);
}

} // namespace Vabo
