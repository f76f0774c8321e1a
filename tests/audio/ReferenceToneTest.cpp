#include "audio/CurveLookup.h"
#include "audio/GainLimit.h"
#include "audio/MeterPolicy.h"
#include "audio/ToneLoop.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(CurveLookup, InterpolatesHoldsTheEndsAndScalesLoudnessUpToTheLimit)
{
    const LoudnessCurve line{{100.0f, 0.0f}, {200.0f, 10.0f}};
    const std::pair<float, float> points[] = {
        {150.0f, 5.0f}, {50.0f, 0.0f}, {250.0f, 10.0f}, {200.0f, 10.0f}, {100.0f, 0.0f}};
    for (const auto& [hz, db] : points)
        EXPECT_FLOAT_EQ(InterpolateCurve(line, hz), db) << hz;
    EXPECT_FLOAT_EQ(InterpolateCurve({}, 440.0f), 0.0f);
    EXPECT_FLOAT_EQ(InterpolateCurve({{1000.0f, -3.0f}}, 10.0f), -3.0f);

    const LoudnessCurve curve{{100.0f, 20.0f}, {1000.0f, 0.0f}, {4000.0f, 40.0f}};
    EXPECT_FLOAT_EQ(LoudnessGain(curve, 100.0f), 10.0f);
    EXPECT_FLOAT_EQ(LoudnessGain(curve, 1000.0f), 1.0f);
    float sample = 0.6f;
    GainLimit{LoudnessGain(curve, 100.0f)}.Apply(sample);
    EXPECT_FLOAT_EQ(sample, 0.2f);
    sample = 0.6f;
    GainLimit{LoudnessGain(curve, 4000.0f)}.Apply(sample);
    EXPECT_FLOAT_EQ(sample, 0.6f) << "a gain of 100 is past the limit of 30";

    sample = 0.5f;
    GainLimit{60.0f}.Apply(sample);
    EXPECT_FLOAT_EQ(sample, 0.5f);
    GainLimit{15.0f}.Apply(sample);
    EXPECT_FLOAT_EQ(sample, 0.25f);
    GainLimit{30.0f}.Apply(sample);
    EXPECT_FLOAT_EQ(sample, 0.25f);
}

TEST(ToneLoop, ReferenceTonesAreOneSineEndingOnARisingZeroCrossing)
{
    EXPECT_FLOAT_EQ(ReferenceToneDuration(0.0f), 441000.0f) << "no crossing: the generator's 10 s";
    // From the lowest typed reference to the highest, and tones whose short
    // loops would be out of tune: the buffer is as long as a period allows
    // and ends where the sine rises through zero, so its repeats join without
    // a step and it plays exactly the frequency.
    for (float f : {16.0f, 16.35f, 30.87f, 41.2f, 55.0f, 62.0f, 82.41f, 110.0f, 440.0f, 1000.0f, 3520.0f, 6645.0f}) {
        const long samples = std::lround(ReferenceToneDuration(f) * 44.1);
        EXPECT_LE(samples, 441000) << f;
        EXPECT_GT(samples, 441000 - 44100.0 / f - 1.0) << f << " Hz: shorter than a period allows";
        const double phase = 2.0 * 3.14159265358979 * f * samples / 44100.0;
        EXPECT_LT(std::fabs(std::sin(phase)), 0.009) << f << " Hz ends off zero";
        EXPECT_GT(std::cos(phase), 0.0) << f << " Hz ends on a falling slope";
    }
    EXPECT_EQ(LastRisingZeroCrossing(41.2f, 44100, 0.009f, 1000), 0) << "no crossing within 1000 samples";
    EXPECT_EQ(LastRisingZeroCrossing(41.2f, 44100, 0.009f, 1100), 1071);
}

TEST(MeterPolicy, CentsBoundsAndHalfRange)
{
    EXPECT_NEAR(MeterPolicy::UpperCentsBound(440.0f), 452.893f, 0.0005f);
    EXPECT_NEAR(MeterPolicy::LowerCentsBound(440.0f), 427.107f, 0.0005f);
    EXPECT_EQ(CentsPolicy().HalfRangeShift(0.0f), 25.0f);
    EXPECT_EQ(HertzPolicy().HalfRangeShift(-25.0f), 0.0f);
}
