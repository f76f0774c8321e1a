// Object sliders from a real skin: values to parts, positions to values both
// ways, clamping, drags through the screen manager, and skins that are refused.
#include "framework/widgets/ObjectSlider.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <vector>

#include "InputRig.h"
#include "framework/widgets/ObjectSliderSignal.h"
#include "platform/Log.h"
#include "tests/framework/drawing/PixelExpect.h"

using GdiplusGfxLayer::Color;
using Vabo::ObjectSlider;

namespace {

const Color kAccent(255, 0x38, 0xBD, 0xF8);
const Color kDisplay(255, 0x0C, 0x11, 0x16);

class ObjectSliderTest : public ::testing::Test {
protected:
    ObjectSlider* Slider(const std::string& name)
    {
        auto* slider = rig_.Find<ObjectSlider>(name);
        EXPECT_NE(slider, nullptr) << name;
        if (slider)
            slider->Connect(
                Vabo::Signal::TypeIdOf<Vabo::Signal::ObjectSliderSignal>(), nullptr,
                [this](Vabo::Signal::Base* signal, Vabo::GuiObject*) {
                    sent_.push_back(static_cast<Vabo::Signal::ObjectSliderSignal*>(signal)->value);
                },
                slider->Watch());
        return slider;
    }

    int VisiblePart(ObjectSlider& slider)
    {
        int visible = -1;
        for (std::size_t i = 0; i < slider.GetParts().size(); ++i) {
            if (slider.GetParts()[i]->IsVisible()) {
                EXPECT_EQ(visible, -1) << "one part at a time";
                visible = static_cast<int>(i);
            }
        }
        return visible;
    }

    InputRig rig_{"Sliders.xml", 260, 120};
    std::vector<int> sent_;
};

} // namespace

TEST_F(ObjectSliderTest, EachValueShowsItsPartAndEveryCallIsSentClamped)
{
    ObjectSlider* meter = Slider("Meter");
    ASSERT_NE(meter, nullptr);
    EXPECT_EQ(meter->GetValue(), 0);
    EXPECT_EQ(VisiblePart(*meter), -1) << "no part shows before the first value";
    const int expected[] = {0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2};
    for (int value = 0; value <= 10; ++value) {
        meter->SetValue(value);
        EXPECT_EQ(VisiblePart(*meter), expected[value]) << value;
    }
    sent_.clear();
    meter->SetValue(-5);
    meter->SetValue(99);
    meter->SetValue(10);
    EXPECT_EQ(sent_, (std::vector<int>{0, 10, 10})) << "clamped, and sent also when unchanged";
    EXPECT_EQ(meter->GetCurrentPart(), meter->GetParts()[2].get());

    ObjectSlider* fixed = Slider("Fixed");
    ASSERT_NE(fixed, nullptr);
    fixed->SetValue(7);
    EXPECT_EQ(fixed->GetValue(), 5);
    EXPECT_EQ(VisiblePart(*fixed), 0) << "Max equal to Min shows the first part";
    EXPECT_EQ(fixed->PositionToValue(Vabo::Point{60, 66}), 5);
}

TEST_F(ObjectSliderTest, PositionsMapToValuesAlongEitherAxis)
{
    ObjectSlider* level = Slider("Level");
    ObjectSlider* tempo = Slider("Tempo");
    ASSERT_TRUE(level && tempo);
    EXPECT_EQ(level->GetParts().size(), 5u) << "Connect is no part";
    EXPECT_EQ(level->PositionToValue(Vabo::Point{10 + 50, 15}), 25);
    EXPECT_EQ(level->PositionToValue(Vabo::Point{10 + 199, 15}), 100) << "99.5 rounds up";
    EXPECT_EQ(level->PositionToValue(Vabo::Point{0, 15}), 0) << "left of the slider clamps";
    EXPECT_EQ(level->PositionToValue(Vabo::Point{250, 15}), 100);
    EXPECT_EQ(tempo->PositionToValue(Vabo::Point{235, 10}), 20) << "the top edge is Max";
    EXPECT_EQ(tempo->PositionToValue(Vabo::Point{235, 110}), 10) << "the bottom edge is Min";
    EXPECT_EQ(tempo->PositionToValue(Vabo::Point{235, 60}), 15);

    // Before its first layout a slider has no length to measure along: the
    // value stays rather than a division by zero.
    level->SetValue(40);
    level->SetSize(0, 12);
    EXPECT_EQ(level->PositionToValue(Vabo::Point{60, 15}), 40);
}

TEST_F(ObjectSliderTest, ADragSetsTheValueAndDrawsItsPart)
{
    ObjectSlider* level = Slider("Level");
    ASSERT_NE(level, nullptr);
    rig_.Move(300, 100);
    EXPECT_TRUE(sent_.empty()) << "moving without a press changes nothing";
    rig_.Move(60, 15);
    EXPECT_TRUE(sent_.empty());

    rig_.Press(60, 15);
    EXPECT_EQ(level->GetValue(), 25);
    auto quarter = rig_.Draw();
    EXPECT_TRUE(PixelNear(*quarter, 10 + 40, 15, kAccent));
    EXPECT_TRUE(PixelNear(*quarter, 10 + 60, 15, kDisplay));
    rig_.Move(10 + 150, 15);
    EXPECT_EQ(level->GetValue(), 75);
    rig_.Move(250, 15);
    EXPECT_EQ(level->GetValue(), 100) << "the drag goes on past the end and clamps";
    EXPECT_TRUE(PixelNear(*rig_.Draw(), 10 + 190, 15, kAccent));
    rig_.Release(250, 15);
    EXPECT_EQ(sent_, (std::vector<int>{25, 75, 100}));
    rig_.Move(60, 15);
    EXPECT_EQ(level->GetValue(), 100) << "the release ends the drag";
}

TEST_F(ObjectSliderTest, AReadOnlySliderIgnoresTheMouseButFollowsSetValue)
{
    ObjectSlider* meter = Slider("Meter");
    ASSERT_NE(meter, nullptr);
    meter->SetValue(4);
    rig_.Press(100, 45);
    rig_.Move(30, 45);
    rig_.Release(30, 45);
    EXPECT_EQ(meter->GetValue(), 4);
    EXPECT_EQ(sent_, (std::vector<int>{4}));
}

TEST(ObjectSliderSkin, SlidersThatCannotWorkAreRefusedNamingTheSlider)
{
    InputRig rig("Sliders.xml", 10, 10);
    TiXmlElement* broken = rig.Loader().LoadXMLOrThrow("BrokenSliders.xml");
    const char* expected[][2] = {{"NoParts", "no parts"},
                                 {"UnknownPart", "Vabo::Knob"},
                                 {"Upside", "Min 10 is above Max 0"},
                                 {"NoMax", "Attribute = Max"}};
    int i = 0;
    for (TiXmlElement* element = broken->FirstChildElement(); element; element = element->NextSiblingElement(), ++i) {
        Platform::LogCapture log;
        EXPECT_THROW(DllGlobalObjectFactoryInstance().Create(element), XMLLoadSave::XMLLoadSaveException)
            << expected[i][0];
        EXPECT_TRUE(log.Contains(expected[i][1])) << expected[i][0];
        if (i < 3) {
            EXPECT_TRUE(log.Contains("ObjectSlider \"" + std::string(expected[i][0]) + "\" in ")) << expected[i][0];
        }
    }
    EXPECT_EQ(i, 4);
}
