// The arithmetic of the tuning displays' value sources: scale bounds around a
// desired frequency, needle positions, deviation and closeness, the swing of
// the beat meter and the level bar's filled width.
#include "app/vis/GradientVis.h"
#include "app/vis/PowerCalcFunctor.h"
#include "app/vis/StreamClock.h"
#include "app/vis/SwingValueFunctor.h"
#include "app/vis/TuneValueFunctor.h"
#include "app/vis/TuneVis.h"
#include "app/vis/TuningScale.h"

#include "tests/app/vis/VisTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using VisTest::Value;

TEST(TuningScale, TheLowerBoundMirrorsTheUpperOneBeforeItIsRounded)
{
    // lo = 2c - c * 2^(50/1200), worked in double: where the upper bound's
    // rounding to float moves the last bit, the lower bound must not follow it.
    const struct {
        float centre, lo, hi;
    } cases[] = {
        {440.0f, 427.1065979f, 452.8934021f},
        {261.63f, 253.9634247f, 269.2966003f},
        {16.0f, 15.5311499f, 16.4688511f},
        {1000.0f, 970.6968384f, 1029.3031006f},
    };
    for (const auto& c : cases) {
        const ScaleBounds bounds = DeviationBoundsOf(CentsPolicy(), c.centre);
        EXPECT_FLOAT_EQ(c.hi, bounds.hi) << c.centre;
        EXPECT_EQ(c.lo, bounds.lo) << c.centre;
    }
}

TEST(TuningScale, TheMetersMirrorTheUpperBoundAfterItIsRounded)
{
    // lo = 2c - hi in float: at these centres one bit off the deviation's bound.
    const struct {
        float centre, lo;
    } cases[] = {
        {261.63f, 253.963409f},
        {16.0f, 15.5311489f},
        {1000.0f, 970.696899f},
        {2030.5f, 1971.0f},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.lo, CentsBounds(c.centre).lo) << c.centre;
}

TEST(TuningScale, FiftyCentsAround440AndNeedlePositionsOnBothScales)
{
    const ScaleBounds cents = CentsBounds(440.0f);
    EXPECT_NEAR(452.8934, cents.hi, 1e-4);
    EXPECT_NEAR(427.1066, cents.lo, 1e-4);

    Value measured, desired;
    desired.value = 440.0f;
    HertzPolicy hertz;
    hertz.range = 50.0f;
    const ScalarSource hertzPosition = TuneVis::HertzPosition(measured.Source(), desired.Source(), hertz);
    const ScalarSource centsPosition = TuneVis::CentsPosition(measured.Source(), desired.Source());
    measured.value = 440.0f;
    EXPECT_FLOAT_EQ(0.5f, hertzPosition());
    EXPECT_FLOAT_EQ(0.5f, centsPosition());
    measured.value = 415.0f;
    EXPECT_FLOAT_EQ(0.0f, hertzPosition());
    measured.value = 465.0f;
    EXPECT_FLOAT_EQ(1.0f, hertzPosition());
    measured.value = cents.lo;
    EXPECT_NEAR(0.0f, centsPosition(), 1e-5);
    measured.value = cents.hi;
    EXPECT_NEAR(1.0f, centsPosition(), 1e-5);
    // Not clamped: the meters pin the needle.
    measured.value = 490.0f;
    EXPECT_FLOAT_EQ(1.5f, hertzPosition());

    // A desired frequency of 0 (a "Frequency" setting of 0) and a width of 0
    // would divide by zero: the needle rests in the centre.
    desired.value = 0.0f;
    EXPECT_FLOAT_EQ(0.5f, centsPosition());
    desired.value = 440.0f;
    hertz.range = 0.0f;
    EXPECT_FLOAT_EQ(0.5f, TuneVis::HertzPosition(measured.Source(), desired.Source(), hertz)());
    // Nothing measured (the tracker's 0 or -1 Hz) has no position: the
    // needle is hidden rather than lying at the left end.
    for (float nothing : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
        measured.value = nothing;
        EXPECT_TRUE(std::isnan(centsPosition())) << nothing;
        EXPECT_TRUE(std::isnan(hertzPosition())) << nothing;
    }
}

TEST(TuneValueFunctor, DeviationIsLinearInHertzEachSideAndClosenessFallsWithItsSquare)
{
    Value measured, desired;
    desired.value = 440.0f;
    TuneValueFunctor<CentsPolicy> deviation(measured.Source(), desired.Source());
    TuneSqrAbsValueFunctor<CentsPolicy> closeness(measured.Source(), desired.Source());
    const ScaleBounds bounds = CentsBounds(440.0f);

    measured.value = 440.0f;
    EXPECT_EQ(0.0f, deviation());
    EXPECT_EQ(1.0f, closeness());
    measured.value = (440.0f + bounds.hi) / 2.0f;
    EXPECT_NEAR(0.5f, deviation(), 1e-5);
    EXPECT_NEAR(0.25f, closeness(), 1e-5);
    measured.value = (440.0f + bounds.lo) / 2.0f;
    EXPECT_NEAR(-0.5f, deviation(), 1e-5);
    EXPECT_NEAR(0.25f, closeness(), 1e-5);
    measured.value = 460.0f;
    EXPECT_EQ(1.0f, deviation());
    EXPECT_EQ(0.0f, closeness());
    measured.value = 400.0f;
    EXPECT_EQ(-1.0f, deviation());
    EXPECT_EQ(0.0f, closeness());
    measured.value = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(0.0f, deviation());

    desired.value = 0.0f;
    measured.value = 440.0f;
    EXPECT_EQ(0.0f, deviation());
}

TEST(SwingValueFunctor, RisesOneBeatFallsTheNextAndRestsWhileStopped)
{
    Value phase;
    bool running = true;
    SwingValueFunctor swing(phase.Source(), true, 0.0f, [&running] { return running; });
    phase.value = 0.25f;
    EXPECT_FLOAT_EQ(0.25f, swing());
    phase.value = 0.75f;
    EXPECT_FLOAT_EQ(0.75f, swing());
    // The phase wrapped: a new beat, the swing turns.
    phase.value = 0.25f;
    EXPECT_FLOAT_EQ(0.75f, swing());
    phase.value = 0.5f;
    EXPECT_FLOAT_EQ(0.5f, swing());
    running = false;
    EXPECT_EQ(0.0f, swing());
    running = true;
    phase.value = 0.1f;
    EXPECT_FLOAT_EQ(0.1f, swing());
}

TEST(GradientVis, LevelFillsItsShareOfTheWidthAndNothingBelowZero)
{
    EXPECT_EQ(100, GradientVis::FilledWidth(100, 1.2f));
    EXPECT_EQ(50, GradientVis::FilledWidth(100, 0.5f));
    EXPECT_EQ(2, GradientVis::FilledWidth(3, 0.5f));
    EXPECT_EQ(0, GradientVis::FilledWidth(100, -0.1f));
    EXPECT_EQ(0, GradientVis::FilledWidth(100, -std::numeric_limits<float>::infinity()));
    EXPECT_EQ(0, GradientVis::FilledWidth(100, std::numeric_limits<float>::quiet_NaN()));

    // Silence is minus infinity; full scale is 1 on the default 20..120 dB scale.
    std::vector<float> block(512, 0.0f);
    PowerCalcFunctor level([&block]() -> std::vector<float>& { return block; }, [] { return 32768.0f; });
    EXPECT_TRUE(std::isinf(level()) && level() < 0.0f);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = i % 2 ? 1.0f : -1.0f;
    EXPECT_NEAR((20.0 * std::log10(32768.0) - 20.0) / 100.0, level(), 1e-4);
}

TEST(StreamClock, PhaseIsTheFractionOfThePeriodPassedWhileTheStreamRuns)
{
    EXPECT_DOUBLE_EQ(0.5, StreamClock::Phase(1.5, 1.0, true));
    EXPECT_DOUBLE_EQ(0.5, StreamClock::Phase(2.25, 0.5, true));
    EXPECT_NEAR(0.25, StreamClock::Phase(0.65, 0.2, true), 1e-9);
    EXPECT_EQ(1.0, StreamClock::Phase(0.0, 0.5, true));
    EXPECT_EQ(1.0, StreamClock::Phase(1.5, 1.0, false));
    EXPECT_EQ(1.0, StreamClock::Phase(1.5, 0.0, true));

    // The device's output stream, never started here.
    StreamClock clock;
    EXPECT_FALSE(clock.IsRunning());
    EXPECT_EQ(0.0, clock.Frames());
    EXPECT_EQ(1.0, clock.Phase(2.0, 0.5));
    clock.SetStopped(true);
    EXPECT_EQ(0.0, clock.Seconds());
}
