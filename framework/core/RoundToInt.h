// The framework's float-to-integer conversion for pixel sizes: to the nearest
// integer, halves away from zero (add 0.5, or -0.5 below zero, then truncate).
#pragma once

namespace Vabo {

inline int RoundToInt(float value)
{
    return static_cast<int>(value < 0.0f ? value - 0.5f : value + 0.5f);
}

} // namespace Vabo
