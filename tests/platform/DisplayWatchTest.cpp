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

#include <memory>
#include <vector>

using Platform::EventLoop;
using Platform::HostInput;
using Platform::NativeWindow;

namespace {

struct Client : Platform::WindowClient {
    std::vector<HostInput::Kind> inputs;
    void OnInput(const HostInput& input) override { inputs.push_back(input.kind); }
    void OnTick() override {}
    bool Got(HostInput::Kind kind) const
    {
        for (HostInput::Kind got : inputs)
            if (got == kind)
                return true;
        return false;
    }
};

::Window XWindowOf(const NativeWindow& window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    return SDL_GetWindowWMInfo(window.Handle(), &info) ? info.info.x11.window : 0;
}

void DestroyFromAnotherClient(::Window window)
{
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(nullptr, other);
    XDestroyWindow(other, window);
    XSync(other, False);
    XCloseDisplay(other);
}

} // namespace

TEST(DisplayWatch, AWindowDestroyedByAnotherClientIsToldOfItAndTheProcessGoesOn)
{
    ASSERT_TRUE(Platform::StartVideo()) << Platform::VideoError();
    EventLoop& loop = EventLoop::Instance();
    const NativeWindow::Options options{NativeWindow::Kind::Application, "lost", 10, 10, 60, 40};
    std::unique_ptr<NativeWindow> lost = NativeWindow::Create(options);
    std::unique_ptr<NativeWindow> kept = NativeWindow::Create(options);
    ASSERT_TRUE(lost && kept);
    Client lostClient, keptClient;
    loop.Attach(lost->Id(), lostClient);
    loop.Attach(kept->Id(), keptClient);
    lost->Show();
    kept->Show();
    loop.RunFor(300);
    const ::Window xWindow = XWindowOf(*lost);
    ASSERT_NE(0u, xWindow);

    Platform::LogCapture log;
    DestroyFromAnotherClient(xWindow);
    // Requests for it go on before the loop has seen the news.
    lost->SetTitle("still asked for");
    loop.RunFor(300);
    EXPECT_TRUE(lostClient.Got(HostInput::Kind::Destroyed));
    EXPECT_FALSE(keptClient.Got(HostInput::Kind::Destroyed));
    EXPECT_TRUE(lost->Gone());
    EXPECT_FALSE(kept->Gone());
    EXPECT_TRUE(Platform::DisplayWatch::Destroyed(xWindow));
    EXPECT_TRUE(log.Contains("another client destroyed it")) << "the failed request is said";

    // What would wait for the server's answer about it does nothing.
    lost->Hide();
    lost->Show();
    lost->MoveTo(20, 20);
    loop.Detach(lost->Id());
    lost.reset();
    lostClient.inputs.clear();
    loop.RunFor(100);
    EXPECT_TRUE(lostClient.inputs.empty()) << "a window we destroy ourselves is no news";
    // The other window and the connection still serve.
    kept->SetTitle("kept");
    loop.RunFor(100);
    EXPECT_EQ("kept", kept->GetTitle());
    loop.Detach(kept->Id());
}
