// The in-tune light: the slider's step follows the closeness each time the
// light is drawn, and the step's picture is what shows.
#include "app/vis/ObjectSliderVis.h"

#include "framework/widgets/ObjectSlider.h"

#include "support/FakeScreenManager.h"
#include "tests/app/vis/VisTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

using Vabo::ObjectSliderVis;
using VisTest::Canvas;
using VisTest::Value;

TEST(ObjectSliderVis, StepIsTheTruncatedShareOfTheSlidersRange)
{
    EXPECT_EQ(9, ObjectSliderVis::StepFor(0.99f, 0, 10));
    EXPECT_EQ(10, ObjectSliderVis::StepFor(1.0f, 0, 10));
    EXPECT_EQ(7, ObjectSliderVis::StepFor(0.25f, 5, 13));
    EXPECT_EQ(0, ObjectSliderVis::StepFor(-0.5f, 0, 10));
    EXPECT_EQ(10, ObjectSliderVis::StepFor(3.0f, 0, 10));
    EXPECT_EQ(2, ObjectSliderVis::StepFor(std::numeric_limits<float>::quiet_NaN(), 2, 10));
}

class PowerLightTest : public VisTest::SkinFixture { };

TEST_F(PowerLightTest, DrawingMovesTheLightToTheStepOfTheCloseness)
{
    Value closeness;
    ObjectSliderVis light(Skin("PowerLightVis.xml"), closeness.Source());
    FakeScreenManager screens;
    light.SetScreenManager(&screens);
    ASSERT_NE(nullptr, light.Slider());
    EXPECT_EQ(0, light.Slider()->GetMin());
    EXPECT_EQ(4, light.Slider()->GetMax());
    light.SetSize(24, 24);
    light.UpdateLayout();

    const auto centre = [&](float value) {
        closeness.value = value;
        Canvas canvas(24, 24);
        light.Render(canvas.painter);
        return canvas.image.GetPixel(12, 12);
    };
    // In tune: green; close: amber; off: red; far off: dark grey.
    const GdiplusGfxLayer::Color green = centre(0.8f);
    EXPECT_EQ(3, light.Slider()->GetValue());
    EXPECT_GT(green.GetGreen(), green.GetRed());
    const GdiplusGfxLayer::Color amber = centre(0.55f);
    EXPECT_EQ(2, light.Slider()->GetValue());
    EXPECT_GT(amber.GetRed(), 200);
    EXPECT_GT(amber.GetGreen(), 150);
    const GdiplusGfxLayer::Color red = centre(0.3f);
    EXPECT_EQ(1, light.Slider()->GetValue());
    EXPECT_GT(red.GetRed(), 200);
    EXPECT_LT(red.GetGreen() + 30, amber.GetGreen());
    const GdiplusGfxLayer::Color dark = centre(0.0f);
    EXPECT_EQ(0, light.Slider()->GetValue());
    EXPECT_LT(dark.GetRed(), 120);
    centre(1.0f);
    EXPECT_EQ(4, light.Slider()->GetValue());
}
