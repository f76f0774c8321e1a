// The in-tune light: the slider's step follows the closeness each time the
// light is drawn, and the step's picture is what shows.
#include "app/vis/ObjectSliderVis.h"

#include "framework/widgets/ObjectSlider.h"

#include "support/FakeScreenManager.h"
#include "tests/app/vis/VisTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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
    EXPECT_EQ(100, light.Slider()->GetMax());
    light.SetSize(24, 24);
    light.UpdateLayout();

    enum Shade { Dark, Red, Amber, Green };
    // Closeness is (1 - cents / 50)^2: 31 cents off is 0.144, and any note
    // nearer than 45 cents lights the lamp, so far off is not silence.
    const struct {
        float closeness;
        int step;
        Shade shade;
    } cases[] = {{0.0f, 0, Dark},    {0.005f, 0, Dark},   {0.02f, 2, Red},    {0.144f, 14, Red},
                 {0.55f, 55, Amber}, {0.8f, 80, Amber},   {0.9f, 90, Green},  {1.0f, 100, Green}};
    for (const auto& c : cases) {
        closeness.value = c.closeness;
        Canvas canvas(24, 24);
        light.Render(canvas.painter);
        const GdiplusGfxLayer::Color centre = canvas.image.GetPixel(12, 12);
        EXPECT_EQ(c.step, light.Slider()->GetValue()) << c.closeness;
        // Red has as much blue as green, amber far less.
        const int r = centre.GetRed(), g = centre.GetGreen(), b = centre.GetBlue();
        const Shade shade = r < 120 && g < 120 ? Dark : g > r ? Green : g - b > 60 ? Amber : Red;
        EXPECT_EQ(c.shade, shade) << c.closeness << ": " << r << "," << g << "," << b;
    }
}

TEST_F(PowerLightTest, TheLampFillsTheSameShareOfItsBoxAtEverySize)
{
    Value closeness;
    ObjectSliderVis light(Skin("PowerLightVis.xml"), closeness.Source());
    FakeScreenManager screens;
    light.SetScreenManager(&screens);
    closeness.value = 0.9f;
    const auto lit = [&](int size) {
        light.SetSize(size, size);
        light.UpdateLayout();
        Canvas canvas(size, size);
        light.Render(canvas.painter);
        int count = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                count += canvas.image.GetPixel(x, y).GetAlpha() > 200;
        return count;
    };
    // The dot's share of the box stays (within the edges' rounding) a fifth.
    for (int size : {32, 40, 80}) {
        const double share = double(lit(size)) / (size * size);
        EXPECT_GT(share, 0.18) << size;
        EXPECT_LT(share, 0.30) << size;
    }
}

TEST_F(PowerLightTest, EveryReadingHasAClosenessColourAndOnlySilenceIsDark)
{
    Value measured, desired;
    desired.value = 440.0f;
    ObjectSliderVis light(Skin("PowerLightVis.xml"),
                          ObjectSliderVis::ReadingCloseness(measured.Source(), desired.Source()),
                          ObjectSliderVis::Steps::ReadingLit);
    FakeScreenManager screens;
    light.SetScreenManager(&screens);
    light.SetSize(24, 24);
    light.UpdateLayout();
    const auto cents = [](float c) { return float(440.0 * std::pow(2.0, double(c) / 1200.0)); };
    enum Shade { Dark, Red, Amber, Green };
    const struct {
        float hz;
        Shade shade;
    } cases[] = {
        {cents(0.0f), Green},  {cents(-4.0f), Green}, {cents(12.0f), Amber}, {cents(-30.0f), Red},
        {cents(46.0f), Red},   {cents(-49.0f), Red},  {cents(120.0f), Red},  {cents(-700.0f), Red},
        {0.0f, Dark},          {-1.0f, Dark},         {std::numeric_limits<float>::quiet_NaN(), Dark},
    };
    for (const auto& c : cases) {
        measured.value = c.hz;
        Canvas canvas(24, 24);
        // The first frame moves the slider; the next shows its picture.
        light.Render(canvas.painter);
        light.Render(canvas.painter);
        const GdiplusGfxLayer::Color centre = canvas.image.GetPixel(12, 12);
        const int r = centre.GetRed(), g = centre.GetGreen(), b = centre.GetBlue();
        // The dark lamp is grey: its channels lie close together.
        const bool grey = std::max({r, g, b}) - std::min({r, g, b}) < 30;
        const Shade shade = grey ? Dark : g > r ? Green : g - b > 60 ? Amber : Red;
        EXPECT_EQ(c.shade, shade) << c.hz << " Hz: " << r << "," << g << "," << b;
    }
}
