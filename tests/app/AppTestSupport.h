// What the application's window tests share: the framework started on the
// rig's display with the repository as application folder (the real skin),
// the event loop run until a condition holds, and clicks pushed as SDL events.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "framework/core/DocMap.h"
#include "framework/core/GuiObject.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/XMLLoadSave.h"
#include "framework/host/AppWindow.h"
#include "framework/host/PopupMenuWindow.h"
#include "framework/host/ScreenManager.h"
#include "framework/core/VaboInit.h"
#include "framework/host/VaboWnd.h"
#include "framework/host/Window.h"
#include "platform/EventLoop.h"
#include "platform/HostInput.h"
#include "platform/Video.h"
#include "support/DesktopLock.h"
#include "support/DocMapFolders.h"
#include "support/SdlEvents.h"
#include "support/TempFolder.h"
#include "app/SettingsStore.h"
#include "audio/AudioDevice.h"
#include "audio/MixersBack.h"

namespace AppTest {

// Builds the main window from the real skin: its screens made, neither
// connected nor told that they are ready.
inline std::unique_ptr<Vabo::AppWindow> BuildMainWindow(XMLLoadSave& loader)
{
    TiXmlElement* root = loader.LoadXMLOrThrow("XML/Pellora.xml");
    return std::make_unique<Vabo::AppWindow>(loader.GetChild(root, "PelloraApp"));
}

// Shows a built main window as the program does before its loop runs:
// connections made, then "ready".
inline void ShowMainWindow(Vabo::AppWindow& window)
{
    window.SetVisible(true);
    Vabo::Signal::ConnectXMLSlots connect;
    window.Raise(&connect);
    Vabo::Signal::ObjectReady ready;
    window.Raise(&ready);
}

inline std::unique_ptr<Vabo::AppWindow> OpenMainWindow(XMLLoadSave& loader)
{
    auto window = BuildMainWindow(loader);
    ShowMainWindow(*window);
    return window;
}

inline void Pump(Platform::Milliseconds ms)
{
    Platform::EventLoop::Instance().RunFor(ms);
}

template <class Condition> bool PumpUntil(Condition condition, Platform::Milliseconds limit = 5000)
{
    for (Platform::Milliseconds waited = 0; !condition() && waited < limit; waited += 20)
        Pump(20);
    return condition();
}

using TestSupport::PushClick;

// Clicks the middle of an object of a shown window.
inline void ClickObject(const Vabo::Window& window, Vabo::GuiObject& object)
{
    PushClick(window.GetHostWnd()->GetNativeWindow()->Id(), object.GetWindowX() + object.GetWidth() / 2,
              object.GetWindowY() + object.GetHeight() / 2);
}

// The entry of a drop-down list by its name (which may hold any character).
inline Vabo::GuiObject* EntryNamed(Vabo::GuiObject& list, const std::string& name)
{
    for (Vabo::GuiObject* entry : list.GetChildren())
        if (entry->GetName() == name)
            return entry;
    return nullptr;
}

// Up, Down and Return as the host hands them over.
constexpr std::uint32_t kUpKey = Platform::kVirtualKeyFlag | Platform::VirtualKey::Up;
constexpr std::uint32_t kDownKey = Platform::kVirtualKeyFlag | Platform::VirtualKey::Down;
constexpr std::uint32_t kReturnKey = 13;

// Opens a drop-down list, then presses the keys (codes as the host hands
// them over) on it one by one: the entries it marks (the selected ones) when
// it opens and after each key.
inline std::vector<std::string> MarksAfterKeys(Vabo::PopupMenuWindow& list, const std::vector<std::uint32_t>& keys)
{
    std::vector<std::string> marks;
    const auto marked = [&] {
        std::string names;
        for (Vabo::GuiObject* entry : list.GetChildren())
            if (entry->IsSelected() || entry->HasSelectedChild())
                names += (names.empty() ? "" : ", ") + entry->GetName();
        marks.push_back(names);
    };
    list.Popup();
    marked();
    for (std::uint32_t key : keys) {
        list.GetHostWnd()->GetScreenManager().KeyPress(key);
        marked();
    }
    return marks;
}

// The newest shown window with the title, or 0. Ids only grow, one for every
// window a test program ever made (lists, tips, boxes): the search starts
// far above what a whole suite's run makes.
inline std::uint32_t NewestWindowTitled(const std::string& title)
{
    for (std::uint32_t id = 20000; id > 0; --id) {
        SDL_Window* window = SDL_GetWindowFromID(id);
        if (window && title == SDL_GetWindowTitle(window) && (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN))
            return id;
    }
    return 0;
}

// A test on the real skin, holding the shared pointer of the display.
class SkinFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        DllVaboInitInstance();
        ASSERT_TRUE(Platform::StartVideo());
    }

    DesktopLock desktop_{"pointer"};
    DocMapFolders folders_{PELLORA_SOURCE_DIR, PELLORA_SOURCE_DIR "/lib/VABO/XML"};
};

// Leaves the audio device as a program just started has it: no output
// stream, the capture stream open but not running and not marked lost, the
// mixers reading the sound server. A test that lost the sound server, or ran
// the capture under a clock of its own, hands none of that on to the next
// test.
inline void LeaveAudioAsFound()
{
    EXPECT_TRUE(SoundRig::MixersReadTheServer()) << "the mixers do not read the sound server again";
    AudioDevice& device = AudioDevice::Instance();
    device.StopOutput();
    device.Output().Close();
    device.SetSlowCapture(false);
    if (device.CaptureLost() || !device.Input().IsOpen())
        device.RestartCapture();
    device.StopInput();
    if (!device.Input().IsOpen())
        device.Input().Open(AudioDevice::CaptureRate, AudioDevice::CaptureFrames);
}

// A screen of the real skin with settings of its own: the settings folder
// outlives the window, whose screens write their settings when they go.
class ScreenFixture : public SkinFixture {
protected:
    // The screens start, as the program's do, on a device whose mixers open
    // on the sound server's call thread; the tests start once they have.
    void SetUp() override
    {
        SkinFixture::SetUp();
        AudioDevice::Instance();
        ASSERT_TRUE(SoundRig::MixersReadTheServer()) << "the mixers do not open";
    }

    void TearDown() override
    {
        EXPECT_EQ("", SoundRig::BringServerBack(server_));
        LeaveAudioAsFound();
    }

    void Store(const std::string& key, const std::string& value) { SettingsStore::Instance().Set(key, value); }

    std::string Settings()
    {
        std::ifstream file(SettingsStore::FilePath());
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    TempFolder config_{"XDG_CONFIG_HOME"};
    // The sound server as the test found it: a test that stops it or
    // changes its volumes leaves it so.
    const SoundRig::ServerSettings server_ = SoundRig::ReadServerSettings();
    XMLLoadSave loader_;
    std::unique_ptr<Vabo::AppWindow> window_;
};

} // namespace AppTest
