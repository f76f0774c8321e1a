// A window of ours destroyed by another client on the rig's display: the
// process goes on, the requests that fail for the window are no failure, the
// event loop hands the window the notice of its loss, and the window is then
// changed and destroyed by us without waiting for the server for ever.
#include "platform/DisplayWatch.h"
#include "platform/EventLoop.h"
#include "platform/Log.h"
#include "platform/NativeWindow.h"
#include "platform/Video.h"

#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <memory>
#include <vector>

using Platform::EventLoop;
using Platform::HostInput;
using Platform::NativeWindow;

namespace {

struct Client : Platform::WindowClient {
    std::vector<HostInput::Kind> inputs;
    void OnInput(const HostInput& input) override { inputs.push_back(input.kind); }
    void OnTick() override { }
};

} // namespace

TEST(DisplayWatch, AWindowDestroyedByAnotherClientIsToldOfItAndTheProcessGoesOn)
{
    ASSERT_TRUE(Platform::StartVideo()) << Platform::VideoError();
    EventLoop& loop = EventLoop::Instance();
    std::unique_ptr<NativeWindow> window =
        NativeWindow::Create(NativeWindow::Options{NativeWindow::Kind::Application, "lost", 10, 10, 60, 40});
    ASSERT_TRUE(window);
    Client client;
    loop.Attach(window->Id(), client);
    window->Show();
    loop.RunFor(300);
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_TRUE(SDL_GetWindowWMInfo(window->Handle(), &info));
    const ::Window xWindow = info.info.x11.window;

    Platform::LogCapture log;
    const auto destroyed = [&] {
        return std::count(client.inputs.begin(), client.inputs.end(), HostInput::Kind::Destroyed);
    };
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(nullptr, other);
    XDestroyWindow(other, xWindow);
    XSync(other, False);
    XCloseDisplay(other);
    // A request for it before the loop has seen the news fails.
    window->SetTitle("still asked for");
    loop.RunFor(300);
    EXPECT_EQ(1, destroyed());
    EXPECT_TRUE(window->Gone());
    EXPECT_TRUE(Platform::DisplayWatch::Destroyed(xWindow));
    EXPECT_TRUE(log.Contains("another client destroyed it"));

    // What would wait for the server's answer about it returns.
    window->Hide();
    window->Show();
    loop.Detach(window->Id());
    window.reset();
    loop.RunFor(100);
    EXPECT_EQ(1, destroyed()) << "a window we destroy ourselves is no news";
}
