// A window of ours destroyed by another client on the rig's display: the
// process goes on, the requests that fail for the window are no failure, the
// event loop hands the window the notice of its loss, and the window is then
// changed and destroyed by us without waiting for the server for ever. Nor
// does a request about another client's window that is gone end the process.
#include "platform/DisplayWatch.h"
#include "platform/EventLoop.h"
#include "platform/Log.h"
#include "platform/NativeWindow.h"
#include "platform/Video.h"
#include "support/ForeignClient.h"

#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <cairo.h>

#include <algorithm>
#include <functional>
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

// A window of ours, shown to the client by the loop; its X window, or None.
::Window ShowWindow(const char* title, std::unique_ptr<NativeWindow>& window, Client& client)
{
    window = NativeWindow::Create(NativeWindow::Options{NativeWindow::Kind::Application, title, 10, 10, 60, 40});
    if (!window)
        return None;
    EventLoop::Instance().Attach(window->Id(), client);
    window->Show();
    EventLoop::Instance().RunFor(300);
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    return SDL_GetWindowWMInfo(window->Handle(), &info) ? info.info.x11.window : None;
}

} // namespace

TEST(DisplayWatch, AWindowDestroyedByAnotherClientIsToldOfItAndTheProcessGoesOn)
{
    ASSERT_TRUE(Platform::StartVideo()) << Platform::VideoError();
    EventLoop& loop = EventLoop::Instance();
    std::unique_ptr<NativeWindow> window;
    Client client;
    const ::Window xWindow = ShowWindow("lost", window, client);
    ASSERT_NE(None, xWindow);

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

// SDL maps a window it shows and waits for the server to say so: a window
// destroyed before the map never is, and that wait would last for ever.
TEST(DisplayWatch, AHiddenWindowDestroyedByAnotherClientJustBeforeItIsShownIsToldOfItAndNotWaitedFor)
{
    ASSERT_TRUE(Platform::StartVideo()) << Platform::VideoError();
    EventLoop& loop = EventLoop::Instance();
    ForeignClient other;
    ASSERT_TRUE(other.Connected());
    for (const NativeWindow::Kind kind : {NativeWindow::Kind::Application, NativeWindow::Kind::Popup}) {
        SCOPED_TRACE(kind == NativeWindow::Kind::Popup ? "a popup" : "a main window");
        auto window = NativeWindow::Create(NativeWindow::Options{kind, "destroyed hidden", 10, 10, 60, 40});
        ASSERT_NE(nullptr, window);
        Client client;
        loop.Attach(window->Id(), client);
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        ASSERT_TRUE(SDL_GetWindowWMInfo(window->Handle(), &info));
        // The news is on its way to us, not read yet: nothing tells the window.
        other.Destroy(info.info.x11.window);
        window->Show();
        loop.RunFor(300);
        EXPECT_TRUE(window->Gone());
        EXPECT_EQ(1, std::count(client.inputs.begin(), client.inputs.end(), HostInput::Kind::Destroyed));
        loop.Detach(window->Id());
    }
}

TEST(DisplayWatch, ARequestTheServerRefusesIsPassedOver)
{
    ASSERT_TRUE(Platform::StartVideo()) << Platform::VideoError();
    EventLoop& loop = EventLoop::Instance();
    ForeignClient other;
    ASSERT_TRUE(other.Connected());
    struct Row {
        const char* what;
        // Done to our shown window, whose X window is given.
        std::function<void(NativeWindow&, ::Window, cairo_surface_t* frame)> act;
        bool destroyed;
    };
    const Row rows[] = {
        {"a drag entering from a source that closed",
         [&](NativeWindow&, ::Window ours, cairo_surface_t*) {
             other.SendDrag(ours, "XdndEnter", other.VanishedWindow());
         },
         false},
        {"a drag moving over it from a source that closed",
         [&](NativeWindow&, ::Window ours, cairo_surface_t*) {
             other.SendDrag(ours, "XdndPosition", other.VanishedWindow());
         },
         false},
        {"a drop from a source that closed",
         [&](NativeWindow&, ::Window ours, cairo_surface_t*) {
             other.SendDrag(ours, "XdndDrop", other.VanishedWindow());
         },
         false},
        {"a property asked of another client's window that is gone",
         [&](NativeWindow& window, ::Window, cairo_surface_t*) {
             SDL_SysWMinfo info;
             SDL_VERSION(&info.version);
             ASSERT_TRUE(SDL_GetWindowWMInfo(window.Handle(), &info));
             Atom type = None;
             int format = 0;
             unsigned long count = 0, after = 0;
             unsigned char* data = nullptr;
             XGetWindowProperty(info.info.x11.display, other.VanishedWindow(), XA_WM_NAME, 0, 64, False,
                                AnyPropertyType, &type, &format, &count, &after, &data);
             if (data)
                 XFree(data);
         },
         false},
        {"our window destroyed by another client before its first frame",
         [&](NativeWindow& window, ::Window ours, cairo_surface_t* frame) {
             other.Destroy(ours);
             window.Present(frame, {Platform::Rect{0, 0, 60, 40}});
         },
         true},
        {"our window destroyed by another client after its first frame",
         [&](NativeWindow& window, ::Window ours, cairo_surface_t* frame) {
             ASSERT_TRUE(window.Present(frame, {Platform::Rect{0, 0, 60, 40}}));
             loop.RunFor(100);
             other.Destroy(ours);
             window.Present(frame, {Platform::Rect{0, 0, 60, 40}});
         },
         true},
    };
    cairo_surface_t* frame = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 60, 40);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::unique_ptr<NativeWindow> window;
        Client client;
        const ::Window ours = ShowWindow("refused", window, client);
        ASSERT_NE(None, ours);

        Platform::LogCapture log;
        row.act(*window, ours, frame);
        loop.RunFor(300);
        // Still here: the refusal ended nothing.
        EXPECT_EQ(row.destroyed, window->Gone());
        EXPECT_EQ(row.destroyed ? 1 : 0,
                  std::count(client.inputs.begin(), client.inputs.end(), HostInput::Kind::Destroyed));
        EXPECT_EQ(!row.destroyed, window->Present(frame, {Platform::Rect{0, 0, 60, 40}}));
        if (!row.destroyed) {
            EXPECT_TRUE(log.Contains("passed over"));
        }
        loop.Detach(window->Id());
    }
    cairo_surface_destroy(frame);
}
