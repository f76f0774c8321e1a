// Two clicks on one button of the real main window, 0.3 s apart, made with
// the real pointer: the host hands the second over as a double click, and
// the button takes it as the press it is. PLAY, RECORD and the reference
// tone each end where the user's two clicks leave them, lit and heard.
#include "AppTestSupport.h"
#include "app/MetronomeLayout.h"
#include "app/TunerLayout.h"
#include "audio/AudioDevice.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/ObjectSignals.h"
#include "framework/widgets/ToggleButton.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

    std::string At(Vabo::GuiObject& object)
    {
        const Platform::Rect frame = window_->GetHostWnd()->GetWindowRect();
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
        ASSERT_TRUE(Pointer("mousemove --sync " + At(*screen), 30, 30)) << name;
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
