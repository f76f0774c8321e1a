#include "audio/MeterPolicy.h"

#include <cmath>

float MeterPolicy::UpperCentsBound(float f0)
{
    return f0 * std::pow(1.0005778074264526f, 50.0f);
}
