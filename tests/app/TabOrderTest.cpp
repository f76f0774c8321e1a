// The keys on the real skin in the real main window, with key events pushed
// through the event loop: Tab and Shift+Tab reach every control of both
// screens in reading order and come round at the ends, and the controls
// reached answer their keys (Return steps a display, Up moves a slider).
#include "AppTestSupport.h"
#include "app/vis/Vis.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/widgets/AspectPreservingContainer.h"
#include "framework/widgets/ObjectSlider.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

class TabOrder : public AppTest::ScreenFixture {
protected:
    void Open()
    {
        window_ = AppTest::OpenMainWindow(loader_);
        AppTest::Pump(100);
    }
    // Presses the key and names the control the ring moved to: the note or
    // preset for a place in a strip.
    std::string Press(SDL_Keycode key, Uint16 modifiers = KMOD_NONE)
    {
        TestSupport::PushKey(window_->GetHostWnd()->GetNativeWindow()->Id(), key, modifiers);
        AppTest::Pump(40);
        Vabo::GuiObject* stop = window_->GetKeyboardStop();
        if (auto* place = dynamic_cast<Vabo::AspectPreservingContainer*>(stop))
            stop = place->GetObject();
        if (!stop)
            return "none";
        return stop->IsSelected() || stop->HasSelectedChild() ? stop->GetName() : stop->GetName() + " (unselected)";
    }
    // From the first stop, Tab round the whole order to the second stop, then
    // Shift+Tab round it back to the first.
    void ExpectRound(const Names& order)
    {
        Names forwards, backwards;
        for (std::size_t i = 0; i <= order.size(); ++i)
            forwards.push_back(Press(SDLK_TAB));
        for (std::size_t i = 0; i <= order.size(); ++i)
            backwards.push_back(Press(SDLK_TAB, KMOD_LSHIFT));
        Names expectedForwards(order.begin() + 1, order.end());
        expectedForwards.push_back(order.front());
        expectedForwards.push_back(order[1]);
        EXPECT_EQ(expectedForwards, forwards);
        Names expectedBackwards{order.front()};
        expectedBackwards.insert(expectedBackwards.end(), order.rbegin(), order.rend());
        EXPECT_EQ(expectedBackwards, backwards);
    }
    // Tabs until the ring is on the named control.
    bool TabTo(const std::string& name)
    {
        for (int i = 0; i < 40; ++i)
            if (Press(SDLK_TAB) == name)
                return true;
        return false;
    }
};

const Names kTitle = {"Help", "Switch", "Minimise", "Close"};

} // namespace

TEST_F(TabOrder, TabAndShiftTabReachEveryControlOfBothScreensInReadingOrder)
{
    Open();
    ASSERT_TRUE(TabTo("Help"));
    Names tuner = kTitle;
    for (const char* name : {"INST", "STYLE", "TRANS", "INPUT", "DesiredFrequency", "TuneVis", "E", "A", "D", "G",
                             "B", "E", "SampleVis", "ThresholdSlider", "VolumeInput", "VolumeOutput", "Standby",
                             "AutoSelect", "Play"})
        tuner.push_back(name);
    ExpectRound(tuner);

    // Return on the switch button shows the metronome.
    ASSERT_TRUE(TabTo("Switch"));
    Press(SDLK_RETURN);
    ASSERT_TRUE(TabTo("Help"));
    Names metronome = kTitle;
    for (const char* name : {"ACCENT", "OUTPUT", "DesiredBpm", "MetronomeVis", "LARGO 50", "ADAGIO 70", "ANDANTE 90",
                             "MODERATO 114", "ALLEGRO 140", "PRESTO 180", "MetronomeSampleVis", "VolumeInput",
                             "VolumeOutput", "Play", "Record"})
        metronome.push_back(name);
    ExpectRound(metronome);
}

TEST_F(TabOrder, ReturnStepsARingedDisplayAndUpAndDownMoveARingedSlider)
{
    Open();
    auto* display = Vabo::GetXMLObject<Vis>(window_.get(), "TunerLayout->TuneVis");
    auto* slider = Vabo::GetXMLObject<Vabo::ObjectSlider>(window_.get(), "TunerLayout->ThresholdSlider");
    ASSERT_TRUE(display && slider);
    ASSERT_TRUE(TabTo("TuneVis"));
    const int shown = display->ShownIndex();
    Press(SDLK_RETURN);
    EXPECT_EQ((shown + 1) % int(display->DisplayCount()), display->ShownIndex());

    ASSERT_TRUE(TabTo("ThresholdSlider"));
    const int value = slider->GetValue();
    EXPECT_EQ("ThresholdSlider", Press(SDLK_UP)) << "the ring stays";
    EXPECT_EQ(value + 5, slider->GetValue());
    Press(SDLK_DOWN);
    Press(SDLK_DOWN);
    EXPECT_EQ(value - 5, slider->GetValue());
}

TEST_F(TabOrder, FirstKeyWithNothingSelectedEntersAtTheFirstOrLastStop)
{
    // The pointer on the title row's background, then below every control:
    // nothing is selected, so Tab starts at the first stop and Shift+Tab at
    // the last.
    const struct {
        int pointerY;
        Uint16 modifiers;
        const char* expected;
    } cases[] = {
        {28, KMOD_NONE, "Help"},
        {28, KMOD_LSHIFT, "Play"},
        {495, KMOD_NONE, "Help"},
        {495, KMOD_LSHIFT, "Play"},
    };
    for (const auto& c : cases) {
        window_.reset();
        Open();
        TestSupport::PushMotion(window_->GetHostWnd()->GetNativeWindow()->Id(), 400, c.pointerY);
        AppTest::Pump(40);
        EXPECT_EQ(c.expected, Press(SDLK_TAB, c.modifiers)) << "pointer at y " << c.pointerY;
    }
}
