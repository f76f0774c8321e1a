// Whether a display's values changed since it was last drawn: a display that
// knows they did not (a scope of an unchanged block, the beat displays at
// rest, a light at the same step, the empty face) is not drawn again at a
// refresh; one that moves, or cannot tell, is.
#include "app/vis/BarVis.h"
#include "app/vis/BeatVis.h"
#include "app/vis/BlankVis.h"
#include "app/vis/ObjectSliderVis.h"
#include "app/vis/OScope.h"
#include "app/vis/OScopeCurtain.h"
#include "app/vis/SpecAnVis.h"

#include "framework/widgets/ObjectSlider.h"
#include "support/FakeScreenManager.h"
#include "tests/app/vis/VisTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using VisTest::Block;
using VisTest::Canvas;
using VisTest::Value;

namespace {

class DisplayChange : public VisTest::SkinFixture { };

} // namespace

TEST_F(DisplayChange, OnlyADisplayWhoseValuesMovedSinceItsLastFrameIsDrawnAgain)
{
    Block block;
    block.samples.assign(512, 0.0f);
    Value first, second;
    first.value = second.value = 1.0f;
    const auto silence = [&] { block.samples.assign(512, 0.0f); };
    const auto sound = [&] { block.samples[100] = 0.5f; };
    TiXmlElement* samples = Skin("SampleVis.xml");
    TiXmlElement* beats = Skin("MetronomeVis.xml");
    const struct {
        const char* what;
        std::function<std::unique_ptr<VisBase>()> make;
        std::function<void()> move;
        bool restsWhenUnchanged;
    } cases[] = {
        {"scope", [&] { return std::make_unique<OScope>(Child(samples, "OScope"), block.Source()); }, sound, true},
        {"curtain", [&] { return std::make_unique<OScopeCurtain>(samples, block.Source()); }, sound, true},
        {"gauge", [&] { return std::make_unique<BeatVis>(Child(beats, "BeatVis"), first.Source(), second.Source()); },
         [&] { first.value = 0.25f; }, true},
        {"markers", [&] { return std::make_unique<BarVis>(Child(beats, "BarVis"), first.Source(), second.Source()); },
         [&] { second.value = 0.5f; }, true},
        // Its bars fall frame by frame: it cannot tell.
        {"spectrum bars",
         [&] { return std::make_unique<SpecAnVis>(Child(samples, "SpecAn"), block.Source()); }, sound, false},
    };
    for (const auto& c : cases) {
        silence();
        first.value = second.value = 1.0f;
        const std::unique_ptr<VisBase> display = c.make();
        EXPECT_TRUE(display->ValuesChanged()) << c.what << ": never drawn";
        Canvas canvas(100, 40);
        display->Draw(canvas.painter, 0, 0, 100, 40);
        EXPECT_EQ(!c.restsWhenUnchanged, display->ValuesChanged()) << c.what << ": drawn, nothing moved";
        c.move();
        EXPECT_TRUE(display->ValuesChanged()) << c.what << ": moved";
        display->Draw(canvas.painter, 0, 0, 100, 40);
        EXPECT_EQ(!c.restsWhenUnchanged, display->ValuesChanged()) << c.what << ": the move drawn";
    }
    BlankVis blank(samples);
    EXPECT_FALSE(blank.ValuesChanged()) << "the empty face never changes";
}

TEST_F(DisplayChange, ALightIsDrawnAgainOnlyWhenItsValueReachesAnotherStep)
{
    Value value;
    Vabo::ObjectSliderVis light(Skin("BeatLightVis.xml"), value.Source());
    FakeScreenManager screens;
    light.SetScreenManager(&screens);
    light.SetSize(24, 24);
    light.UpdateLayout();
    ASSERT_NE(nullptr, light.Slider());
    const int steps = light.Slider()->GetMax() - light.Slider()->GetMin();
    ASSERT_GT(steps, 2);
    Canvas canvas(24, 24);
    value.value = 0.0f;
    light.Render(canvas.painter);
    EXPECT_FALSE(light.ValuesChanged()) << "drawn at its step";
    value.value = 0.2f / float(steps);
    EXPECT_FALSE(light.ValuesChanged()) << "within the same step";
    value.value = 1.0f;
    EXPECT_TRUE(light.ValuesChanged()) << "another step";
    light.Render(canvas.painter);
    EXPECT_FALSE(light.ValuesChanged());
}
