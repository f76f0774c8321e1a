// What the window tests share: the framework started on the rig's display with
// the window test skins as application folder, the event loop run for a while,
// input pushed as SDL events or made by xdotool with the real pointer, and
// pixels read back from the X server.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <SDL.h>
#include <gtest/gtest.h>

#include "framework/core/XMLLoadSave.h"
#include "framework/host/AppWindow.h"
#include "platform/Clock.h"
#include "platform/Rect.h"
#include "support/DesktopLock.h"
#include "support/SdlEvents.h"

namespace Vabo {
class Window;
}

namespace WindowTest {

// Starts the framework (video included) and points the application folder at
// the window test skins; false when there is no display.
bool StartFramework();

// A window test that holds the pointer and the middle of the display (one such
// test at a time across the test programs) and loads its skins with skin_.
class Fixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(StartFramework()); }

    DesktopLock desktop_{"pointer"};
    XMLLoadSave skin_;
};

// A window test over the shown application window of "OwnerWindow.xml"
// (owner_, built from ownerElement_).
class OwnerFixture : public Fixture {
protected:
    void SetUp() override
    {
        Fixture::SetUp();
        ownerElement_ = skin_.LoadXML("OwnerWindow.xml");
        ASSERT_NE(ownerElement_, nullptr);
        owner_ = std::make_unique<Vabo::AppWindow>(ownerElement_);
        owner_->SetVisible(true);
    }

    TiXmlElement* ownerElement_ = nullptr;
    std::unique_ptr<Vabo::AppWindow> owner_;
};

void Pump(Platform::Milliseconds ms);
// Runs the loop until the condition holds or the time is up; its last answer.
template <class Condition> bool PumpUntil(Condition condition, Platform::Milliseconds limit = 2000)
{
    for (Platform::Milliseconds waited = 0; !condition() && waited < limit; waited += 20)
        Pump(20);
    return condition();
}

std::uint32_t WindowId(const Vabo::Window& window);
Platform::Rect ScreenRect(const Vabo::Window& window);

using TestSupport::PushClick;
using TestSupport::PushKey;
using TestSupport::PushText;

// The real pointer, moved and pressed through xdotool (synchronously with the
// X server; the program sees the events at its next loop pass).
void PointerTo(int screenX, int screenY);
void PointerDown();
void PointerUp();
// Moves the real pointer and clicks a button there, holding the pointer lock
// meanwhile (for tests that do not hold it throughout).
void ClickAt(int screenX, int screenY, int button);
// Clicks the left button at each screen point in turn, as fast as one xdotool
// command goes (well within the double-click time), holding the pointer lock.
void QuickClicks(const std::vector<std::pair<int, int>>& screenPoints);

// What the X server shows at a screen point, as 0xRRGGBB.
std::uint32_t ScreenPixel(int x, int y);
// What it shows at a point of one window; 0xDEADBEEF when it cannot be read.
std::uint32_t ShownPixel(SDL_Window* window, int x, int y);
// Paints a rectangle straight onto the window, behind the program's back.
bool PaintOnWindow(SDL_Window* window, int x, int y, int width, int height, std::uint32_t rgb);
// The smallest size the window asks the window manager for (its
// WM_NORMAL_HINTS); 0 by 0 when it asks for none.
Platform::Rect MinimumSizeHint(SDL_Window* window);
// Moves the window from another X client, as a window manager would.
bool MoveAsAnotherClient(SDL_Window* window, int screenX, int screenY);
// The picture of the pointer the X server shows now (size, hot spot and
// pixels); empty when it cannot be read.
std::string CursorImage();
// The X window behind an SDL window, as xdotool takes it; empty when unknown.
std::string XWindowName(SDL_Window* window);
// Whether the window manager stacks `upper` above `lower` (both shown).
bool StackedAbove(SDL_Window* upper, SDL_Window* lower);
// Whether the X server sends the keys to the window.
bool HasKeyboard(SDL_Window* window);
// Saves the whole screen as a PNG file.
bool SaveScreenshot(const std::string& fileName);

std::string Hex(std::uint32_t rgb);

} // namespace WindowTest
