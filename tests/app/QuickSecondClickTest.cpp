// Clicks on the real main window made with the real pointer. Two clicks on
// one button, 0.3 s apart: the host hands the second over as a double click,
// and the button takes it as the press it is; PLAY, RECORD and the reference
// tone each end where the user's two clicks leave them, lit and heard. And
// every way the user clicks acts on what lies under its own press: one click,
// two on one button, two on a list entry that close its list (the second
// falls on the dial the list uncovered), a press released on another
// control, and a press that comes with the pointer's move in one batch.
#include "AppTestSupport.h"
#include "app/CaptionButton.h"
#include "app/ComboBox.h"
#include "app/MetronomeLayout.h"
#include "app/TunerLayout.h"
#include "app/vis/Vis.h"
#include "audio/AudioDevice.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/ObjectSignals.h"
#include "framework/widgets/ToggleButton.h"
#include "platform/EventTranslation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <future>
#include <string>

namespace {

class QuickSecondClick : public AppTest::ScreenFixture {
protected:
    void SetUp() override
    {
        AppTest::ScreenFixture::SetUp();
        MetronomeLayout::SetMessage([](const std::string&) {});
    }

    void TearDown() override
    {
        window_.reset();
        AudioDevice::Instance().StopOutput();
        AudioDevice::Instance().Output().Close();
        AudioDevice::Instance().StopInput();
        MetronomeLayout::SetMessage({});
        AppTest::ScreenFixture::TearDown();
    }

    // The main window on the tuner or on the metronome, as the user left it.
    Vabo::GuiObject* OpenOn(bool tuner)
    {
        SettingsStore::Instance().Set("TunerVisible", tuner);
        window_ = AppTest::OpenMainWindow(loader_);
        return Vabo::GetXMLObject<Vabo::GuiObject>(window_.get(), tuner ? "TunerLayout" : "MetronomeLayout");
    }

    // Runs xdotool with the arguments beside the window's loop; true once it
    // has ended and the window has seen the pointer come to rest at
    // (restX, restY) of the window, so that all it did before has arrived.
    bool Pointer(const std::string& arguments, int restX, int restY)
    {
        const Platform::Rect frame = window_->GetHostWnd()->GetWindowRect();
        const std::string command = "xdotool " + arguments + " mousemove --sync " + std::to_string(frame.x + restX)
            + " " + std::to_string(frame.y + restY);
        auto done = std::async(std::launch::async, [command] { return std::system(command.c_str()); });
        SDL_Window* native = SDL_GetWindowFromID(window_->GetHostWnd()->GetNativeWindow()->Id());
        const bool rested = AppTest::PumpUntil(
            [&] {
                int x = -1;
                int y = -1;
                SDL_GetMouseState(&x, &y);
                return done.wait_for(std::chrono::seconds(0)) == std::future_status::ready
                    && SDL_GetMouseFocus() == native && x == restX && y == restY;
            },
            10000);
        return done.get() == 0 && rested;
    }

    // Waits out the double-click time after the last row's clicks: a press at
    // their point within it, in the next row's new window, would belong to them.
    static std::string LastClicksOver()
    {
        return "sleep " + std::to_string(Platform::kDoubleClickMs / 1000.0 + 0.1) + " ";
    }

    // What the list row notes before its clicks.
    int dialBefore_ = -1;
    std::string entryName_;

    std::string At(Vabo::GuiObject& object, Vabo::Window* in = nullptr)
    {
        const Platform::Rect frame = (in ? in : window_.get())->GetHostWnd()->GetWindowRect();
        return std::to_string(frame.x + object.GetWindowX() + object.GetWidth() / 2) + " "
            + std::to_string(frame.y + object.GetWindowY() + object.GetHeight() / 2);
    }
};

TEST_F(QuickSecondClick, TwoClicksOnAButtonEachActAsTwoSingleClicksDo)
{
    struct Row {
        bool tuner;
        const char* button;
        // On before the two clicks (as one click earlier leaves it).
        bool onBefore;
        // The stream the button runs, as heard: the output, else the capture.
        bool output;
    };
    const Row rows[] = {
        {false, "Play", false, true},  // PLAY, then STOP: silent
        {false, "Play", true, true},   // STOP, then PLAY: heard again
        {false, "Record", false, false}, // RECORD, then off again
        {true, "Play", false, true},   // the reference tone on, then off
        {true, "Play", true, true},    // off, then on again
    };
    for (const Row& row : rows) {
        const std::string name = std::string(row.tuner ? "tuner " : "metronome ") + row.button
            + (row.onBefore ? " from on" : " from off");
        Vabo::GuiObject* screen = OpenOn(row.tuner);
        ASSERT_NE(nullptr, screen) << name;
        auto* toggle = Vabo::GetXMLObject<Vabo::ToggleButton>(screen, row.button);
        ASSERT_NE(nullptr, toggle) << name;
        Wave& stream = row.output ? static_cast<Wave&>(AudioDevice::Instance().Output())
                                  : static_cast<Wave&>(AudioDevice::Instance().Input());
        const auto running = [&] { return stream.IsOpen() && stream.IsActive(); };
        // The window shown where the pointer finds it.
        ASSERT_TRUE(Pointer(LastClicksOver() + "mousemove --sync " + At(*screen), 30, 30)) << name;
        if (row.onBefore) {
            Vabo::Signal::Activate activate;
            toggle->InvokeSlots(&activate, toggle, window_.get());
            ASSERT_TRUE(AppTest::PumpUntil(running)) << name;
        }
        ASSERT_TRUE(Pointer("mousemove --sync " + At(*toggle) + " click 1 sleep 0.3 click 1", 30, 30)) << name;
        EXPECT_EQ(row.onBefore ? 1 : 0, toggle->GetState()) << name;
        EXPECT_TRUE(AppTest::PumpUntil([&] { return running() == row.onBefore; })) << name;
        window_.reset();
        AudioDevice::Instance().StopOutput();
        AudioDevice::Instance().StopInput();
    }
}

} // namespace

namespace {

// The first entry of the list but the one chosen whose middle lies over the
// object, null for none.
Vabo::GuiObject* EntryOver(ComboBox& list, const std::string& chosen, Vabo::GuiObject& object,
                           const Platform::Rect& window)
{
    const Platform::Rect frame = list.GetHostWnd()->GetWindowRect();
    for (Vabo::GuiObject* entry : list.GetChildren()) {
        const int x = frame.x + entry->GetWindowX() + entry->GetWidth() / 2 - window.x;
        const int y = frame.y + entry->GetWindowY() + entry->GetHeight() / 2 - window.y;
        const std::string& name = entry->GetName();
        if (!name.empty() && name != "Background" && name != chosen && x > object.GetWindowX()
            && x < object.GetWindowX() + object.GetWidth() && y > object.GetWindowY()
            && y < object.GetWindowY() + object.GetHeight())
            return entry;
    }
    return nullptr;
}

} // namespace

TEST_F(QuickSecondClick, EveryWayOfClickingActsOnWhatLiesUnderItsOwnPress)
{
    struct Row {
        const char* how;
        bool tuner;
        // Runs the clicks; false when they could not be made.
        std::function<bool(Vabo::GuiObject& screen)> click;
        // Whether the clicks did what the user meant, and only that.
        std::function<bool(Vabo::GuiObject& screen)> acted;
    };
    const auto toggle = [](Vabo::GuiObject& screen, const char* name) {
        return Vabo::GetXMLObject<Vabo::ToggleButton>(&screen, name);
    };
    const auto lit = [&](const char* name) {
        return [&toggle, name](Vabo::GuiObject& screen) { return toggle(screen, name)->GetState() == 1; };
    };
    const auto on = [&](const char* button, const char* then) {
        return [this, &toggle, button, then](Vabo::GuiObject& screen) {
            return Pointer("mousemove --sync " + At(*toggle(screen, button)) + " " + then, 30, 30);
        };
    };
    const Row rows[] = {
        {"one click", false, on("Play", "click 1"), lit("Play")},
        {"two clicks on one button", false, on("Play", "click --repeat 2 --delay 150 1"),
         [&](Vabo::GuiObject& screen) { return toggle(screen, "Play")->GetState() == 0; }},
        {"a press with the pointer's move in one batch", false,
         [&](Vabo::GuiObject& screen) {
             // The pointer rests on the next button until its tip shows: the
             // move onto PLAY then shows PLAY's tip at once, and the press
             // goes out together with that move.
             Vabo::ToggleButton* record = toggle(screen, "Record");
             if (!Pointer("", record->GetWindowX() + record->GetWidth() / 2,
                          record->GetWindowY() + record->GetHeight() / 2)
                 || !AppTest::PumpUntil([&] {
                        return record->GetToolTipWindow() && record->GetToolTipWindow()->IsVisible();
                    }))
                 return false;
             return Pointer("mousemove " + At(*toggle(screen, "Play")) + " click 1", 30, 30);
         },
         [&](Vabo::GuiObject& screen) {
             return toggle(screen, "Play")->GetState() == 1 && toggle(screen, "Record")->GetState() == 0;
         }},
        {"a press on one control released on another", false,
         [&](Vabo::GuiObject& screen) {
             return Pointer("mousemove --sync " + At(*toggle(screen, "Play")) + " mousedown 1 mousemove --sync "
                                + At(*toggle(screen, "Record")) + " mouseup 1",
                            30, 30);
         },
         [&](Vabo::GuiObject& screen) {
             return toggle(screen, "Play")->GetState() == 0 && toggle(screen, "Record")->GetState() == 0;
         }},
        {"two clicks on a list entry that closes its list over the dial", true,
         [&](Vabo::GuiObject& screen) {
             auto* button = Vabo::GetXMLObject<Vabo::GuiObject>(&screen, "INST");
             auto* list = Vabo::GetXMLObject<ComboBox>(&screen, "InstrumentCombo");
             auto* dial = Vabo::GetXMLObject<Vis>(&screen, "TuneVis");
             if (!button || !list || !dial || !Pointer("mousemove --sync " + At(*button) + " click 1", 30, 30)
                 || !AppTest::PumpUntil([&] { return list->IsVisible(); }))
                 return false;
             const std::string chosen = Vabo::GetXMLObject<CaptionButton>(&screen, "INST")->GetButtonText();
             Vabo::GuiObject* entry = EntryOver(*list, chosen, *dial, window_->GetHostWnd()->GetWindowRect());
             if (!entry)
                 return false;
             dialBefore_ = dial->ShownIndex();
             entryName_ = entry->GetName();
             return Pointer("mousemove --sync " + At(*entry, list) + " click --repeat 2 --delay 150 1", 30, 30);
         },
         [&](Vabo::GuiObject& screen) {
             auto* choice = Vabo::GetXMLObject<CaptionButton>(&screen, "INST");
             return choice->GetButtonText() == entryName_
                 && Vabo::GetXMLObject<Vis>(&screen, "TuneVis")->ShownIndex() == dialBefore_
                 && !Vabo::GetXMLObject<ComboBox>(&screen, "InstrumentCombo")->IsVisible();
         }},
    };
    for (const Row& row : rows) {
        Vabo::GuiObject* screen = OpenOn(row.tuner);
        ASSERT_NE(nullptr, screen) << row.how;
        // The window shown where the pointer finds it, the pointer resting on
        // none of the controls clicked.
        ASSERT_TRUE(Pointer(LastClicksOver() + "mousemove --sync " + At(*screen), 30, 30)) << row.how;
        ASSERT_TRUE(row.click(*screen)) << row.how;
        EXPECT_TRUE(AppTest::PumpUntil([&] { return row.acted(*screen); }, 1000)) << row.how;
        window_.reset();
        AudioDevice::Instance().StopOutput();
        AudioDevice::Instance().StopInput();
    }
}
