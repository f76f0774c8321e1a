// How far the tuning meters' needles may deviate and how a deviation is
// measured: in cents against the reference frequency (CentsPolicy) or in
// hertz (HertzPolicy).
#pragma once

#include <string>

class MeterPolicy {
public:
    explicit MeterPolicy(const std::string& unitText = std::string())
        : unit(unitText)
    {
    }

    // Range times one half, plus x.
    float HalfRangeShift(float x) const { return range * 0.5f + x; }

    // 50 cents above f0, with 2^(1/1200) rounded to single precision as the
    // meters have always computed it.
    static float UpperCentsBound(float f0);
    // The mirror image of the upper bound about f0 in hertz (not 50 cents
    // below f0): the needle scale is linear in hertz.
    static float LowerCentsBound(float f0) { return 2.0f * f0 - UpperCentsBound(f0); }

    std::string unit;
    // Deviation at full deflection.
    float range = 50.0f;
};

class CentsPolicy : public MeterPolicy {
public:
    CentsPolicy()
        : MeterPolicy("cents")
    {
    }
};

class HertzPolicy : public MeterPolicy {
public:
    HertzPolicy()
        : MeterPolicy("Hz")
    {
    }
};
