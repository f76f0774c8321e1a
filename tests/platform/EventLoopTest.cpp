// The event loop on the test rig's display: the clock that ticks when a tick
// is due, nesting modal loops, input to switched-off windows, handler
// exceptions, posted calls, when nothing of the program shows, and what each
// handler may wait on the sound server.
#include "platform/EventLoop.h"
#include "platform/Log.h"
#include "platform/NativeWindow.h"
#include "platform/SoundServerCalls.h"
#include "platform/TickRequest.h"
#include "platform/Video.h"
#include "platform/WindowWaitBudget.h"

#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "support/MinimisedMark.h"

#include <atomic>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <thread>
#include <vector>

using Platform::EventLoop;
using Platform::HostInput;

namespace {

struct Client : Platform::WindowClient {
    std::vector<HostInput> inputs;
    int ticks = 0;
    // Asks for the next tick at once, as a listener that moves on every tick.
    bool keepTicking = true;
    std::function<void()> onTick;
    std::function<void(const HostInput&)> onInput;

    void OnInput(const HostInput& input) override
    {
        inputs.push_back(input);
        if (onInput)
            onInput(input);
    }
    void OnTick() override
    {
        ++ticks;
        if (keepTicking)
            Platform::RequestNextTick();
        if (onTick)
            onTick();
    }
};

class EventLoopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Platform::StartVideo()) << Platform::VideoError();
        const Platform::NativeWindow::Options options{Platform::NativeWindow::Kind::Application, "", 0, 0, 50, 40};
        a = Platform::NativeWindow::Create(options);
        b = Platform::NativeWindow::Create(options);
        ASSERT_TRUE(a && b);
        loop.Attach(a->Id(), clientA);
        loop.Attach(b->Id(), clientB);
    }
    void TearDown() override
    {
        for (const auto* window : {a.get(), b.get()})
            if (window)
                loop.Detach(window->Id());
    }

    // Whether the thread is blocked in poll: the loop's sleep when no round
    // trip is under way.
    static bool Sleeping(long threadId)
    {
        std::ifstream file("/proc/self/task/" + std::to_string(threadId) + "/syscall");
        long call = -1;
        file >> call;
#ifdef SYS_poll
        if (call == SYS_poll)
            return true;
#endif
        return call == SYS_ppoll;
    }

    static void PushClick(Uint32 windowId, int x, int y)
    {
        SDL_Event e;
        SDL_zero(e);
        e.button = {SDL_MOUSEBUTTONDOWN, 0, windowId, 0, SDL_BUTTON_LEFT, SDL_PRESSED, 1, 0, x, y};
        ASSERT_EQ(1, SDL_PushEvent(&e));
    }

    EventLoop& loop = EventLoop::Instance();
    std::unique_ptr<Platform::NativeWindow> a, b;
    Client clientA, clientB;
};

} // namespace

TEST_F(EventLoopTest, TheClockTicksAboutEveryTenMilliseconds)
{
    loop.StartTimer(a->Id());
    loop.RunFor(500);
    // Loosely: a loaded machine may lose ticks, but never gains any.
    EXPECT_GE(clientA.ticks, 10);
    EXPECT_LE(clientA.ticks, 51);
    EXPECT_EQ(0, clientB.ticks) << "a window without a started clock gets no ticks";
}

TEST_F(EventLoopTest, TheClockSleepsUntilATickIsAskedForOrSomethingWasServed)
{
    using Platform::NowMs;
    clientA.keepTicking = clientB.keepTicking = false;
    loop.RunFor(300); // the new windows' own events
    loop.StartTimer(a->Id());
    loop.StartTimer(b->Id());
    loop.RunFor(300);
    EXPECT_EQ(1, clientA.ticks) << "the first tick only: nothing asked for another";
    EXPECT_EQ(1, clientB.ticks);

    std::vector<Platform::Milliseconds> at;
    clientA.onTick = [&] {
        at.push_back(NowMs());
        if (at.size() == 1)
            Platform::RequestTickAt(NowMs() + 150);
    };
    const Platform::Milliseconds start = NowMs();
    Platform::RequestTickAt(start + 100);
    loop.RunFor(500);
    ASSERT_EQ(2u, at.size()) << "the tick asked for outside, then the one asked for by the tick";
    EXPECT_GE(at[0] - start, 100);
    EXPECT_GE(at[1] - at[0], 150);
    EXPECT_EQ(2, clientB.ticks) << "what a window's tick asks for is that window's";

    PushClick(b->Id(), 1, 1);
    loop.RunFor(100);
    EXPECT_EQ(3u, at.size()) << "an input may have started something: every window ticks once";
    EXPECT_EQ(3, clientB.ticks);
}

TEST_F(EventLoopTest, ModalLoopsNestAndEveryWindowIsServedMeanwhile)
{
    loop.StartTimer(a->Id());
    loop.StartTimer(b->Id());
    int ticksOfAInsideB = -1;
    int resultOfB = 0;
    clientA.onTick = [&] {
        if (clientA.ticks == 3) {
            const int before = clientA.ticks;
            resultOfB = loop.RunModal(b->Id());
            ticksOfAInsideB = clientA.ticks - before;
            EXPECT_FALSE(loop.IsRunningModal(b->Id()));
            EXPECT_TRUE(loop.IsRunningModal(a->Id()));
        }
        if (clientA.ticks == 20)
            loop.EndModal(a->Id(), 5);
    };
    clientB.onTick = [&] {
        if (clientB.ticks == 8) {
            EXPECT_TRUE(loop.EndModal(b->Id(), 7));
        }
    };
    EXPECT_EQ(5, loop.RunModal(a->Id()));
    EXPECT_EQ(7, resultOfB);
    EXPECT_GT(ticksOfAInsideB, 0) << "the outer window kept its clock during the inner loop";
    EXPECT_FALSE(loop.EndModal(a->Id(), 0)) << "no loop runs any more";

    // Detaching a window ends its modal loop.
    clientA.onTick = [&] { loop.Detach(a->Id()); };
    EXPECT_EQ(-1, loop.RunModal(a->Id()));
}

TEST_F(EventLoopTest, InputToASwitchedOffWindowIsDroppedAndCounted)
{
    loop.DisableInput(a->Id());
    loop.DisableInput(a->Id());
    const auto dropped = loop.DroppedInputCount();
    // Apart, and from the last click of an earlier test: at one point, within
    // the double-click time, a press would be the second half of a double click
    // on a window that no longer shows.
    PushClick(a->Id(), 50, 60);
    PushClick(b->Id(), 30, 40);
    loop.RunFor(30);
    EXPECT_TRUE(clientA.inputs.empty());
    ASSERT_EQ(1u, clientB.inputs.size());
    EXPECT_EQ(dropped + 1, loop.DroppedInputCount());

    loop.EnableInput(a->Id());
    EXPECT_FALSE(loop.IsInputEnabled(a->Id())) << "one of two switches is still off";
    PushClick(a->Id(), 1, 2);
    loop.RunFor(30);
    EXPECT_TRUE(clientA.inputs.empty());

    loop.EnableInput(a->Id());
    EXPECT_TRUE(loop.IsInputEnabled(a->Id()));
    PushClick(a->Id(), 5, 6);
    loop.RunFor(30);
    ASSERT_EQ(1u, clientA.inputs.size());
    EXPECT_EQ(HostInput::Kind::LeftButtonDown, clientA.inputs[0].kind);
    EXPECT_EQ(5, clientA.inputs[0].x);
    EXPECT_EQ(6, clientA.inputs[0].y);
}

TEST_F(EventLoopTest, AHandlersExceptionIsLoggedAndTheLoopCarriesOn)
{
    Platform::LogCapture log;
    clientA.onInput = [](const HostInput& input) {
        if (input.x == 1)
            throw std::runtime_error("slot failed");
    };
    clientA.onTick = [&] {
        if (clientA.ticks == 2)
            throw 42;
        if (clientA.ticks == 5)
            loop.EndModal(a->Id(), 0);
    };
    loop.StartTimer(a->Id());
    PushClick(a->Id(), 1, 0);
    PushClick(a->Id(), 2, 0);
    loop.RunModal(a->Id());
    ASSERT_EQ(2u, clientA.inputs.size());
    EXPECT_EQ(2, clientA.inputs[1].x);
    EXPECT_EQ(5, clientA.ticks);
    EXPECT_TRUE(log.Contains("slot failed"));
    EXPECT_TRUE(log.Contains("unknown exception while handling a clock tick"));
}

TEST_F(EventLoopTest, CallsPostedFromAnotherThreadRunOnTheLoop)
{
    const auto gui = std::this_thread::get_id();
    std::thread::id ranOn;
    bool posted = false;
    std::thread poster([&] { posted = EventLoop::Post([&] { ranOn = std::this_thread::get_id(); }); });
    poster.join();
    ASSERT_TRUE(posted);
    for (int i = 0; i < 100 && ranOn == std::thread::id(); ++i)
        loop.RunOnce(20);
    EXPECT_EQ(gui, ranOn);
}

TEST_F(EventLoopTest, NothingShowsOnlyWhileAWindowIsMinimisedAndNoOtherIsShown)
{
    struct Step {
        const char* what;
        std::function<bool()> act;
        bool background;
    };
    const auto show = [](Platform::NativeWindow& window) {
        window.Show();
        return window.IsVisible();
    };
    const Step steps[] = {
        {"no window shown: a program starting", [] { return true; }, false},
        {"one shown", [&] { return show(*a); }, false},
        {"it is minimised, the other hidden", [&] { return TestSupport::MarkMinimised(a->Handle(), true); }, true},
        {"the other shown", [&] { return show(*b); }, false},
        {"both minimised", [&] { return TestSupport::MarkMinimised(b->Handle(), true); }, true},
        {"one back", [&] { return TestSupport::MarkMinimised(a->Handle(), false); }, false},
    };
    for (const Step& step : steps) {
        ASSERT_TRUE(step.act()) << step.what;
        EXPECT_EQ(step.background, loop.InBackground()) << step.what;
    }
    TestSupport::MarkMinimised(b->Handle(), false);
}

TEST_F(EventLoopTest, WhatComesAsTheLoopGoesToSleepIsServedInThatPass)
{
    // Long enough that a pass which slept through what came fails plainly.
    constexpr Platform::Milliseconds kLongWait = 5000;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_TRUE(SDL_GetWindowWMInfo(a->Handle(), &info));
    Display* own = info.info.x11.display;
    const ::Window xwindow = info.info.x11.window;
    const long gui = long(syscall(SYS_gettid));
    std::atomic<bool> ran{false};
    std::thread poster;

    struct Case {
        const char* what;
        std::function<void()> arrive; // before the pass
        std::function<bool()> served;
    };
    const Case cases[] = {
        {"an event the last round trip read from the server, not left on the connection",
         [&] {
             // The window manager's close request, sent by another client.
             Display* other = XOpenDisplay(nullptr);
             ASSERT_NE(nullptr, other);
             XEvent close{};
             close.xclient.type = ClientMessage;
             close.xclient.window = xwindow;
             close.xclient.message_type = XInternAtom(other, "WM_PROTOCOLS", False);
             close.xclient.format = 32;
             close.xclient.data.l[0] = long(XInternAtom(other, "WM_DELETE_WINDOW", False));
             XSendEvent(other, xwindow, False, NoEventMask, &close);
             XSync(other, False);
             XCloseDisplay(other);
             XSync(own, False);
         },
         [&] {
             return !clientA.inputs.empty() && clientA.inputs.back().kind == HostInput::Kind::CloseRequest;
         }},
        {"a call posted from another thread while the loop sleeps",
         [&] {
             poster = std::thread([&] {
                 while (!Sleeping(gui))
                     std::this_thread::yield();
                 EventLoop::Post([&] { ran = true; });
             });
         },
         [&] { return ran.load(); }},
    };
    for (const Case& c : cases) {
        loop.RunFor(300); // the new windows' own events
        c.arrive();
        loop.RunOnce(kLongWait);
        EXPECT_TRUE(c.served()) << c.what;
        if (poster.joinable())
            poster.join();
    }
}

// Whatever one handler asks of the sound server, in as many calls as it
// likes, waits for it the window's wait at most in all; the next handler
// has it whole again, and so do the handlers of a loop nested in one, which
// gets back what it had left once that loop ends.
TEST_F(EventLoopTest, EachHandlerWaitsOnTheSoundServerTheWindowsWaitAtMostInAll)
{
    using Platform::WindowWaitBudget;
    constexpr Platform::Milliseconds Whole = Platform::WindowWaitMs;
    std::vector<Platform::Milliseconds> left;
    bool nestedRan = false;
    bool ran = false;
    ASSERT_TRUE(EventLoop::Post([&] {
        left.push_back(WindowWaitBudget::Left());
        WindowWaitBudget::Spend(Whole - 100);
        left.push_back(WindowWaitBudget::Left());
        EventLoop::Post([&] {
            left.push_back(WindowWaitBudget::Left());
            WindowWaitBudget::Spend(Whole);
            nestedRan = true;
        });
        for (int i = 0; i < 100 && !nestedRan; ++i)
            loop.RunOnce(20);
        left.push_back(WindowWaitBudget::Left());
        WindowWaitBudget::Spend(150);
        left.push_back(WindowWaitBudget::Left());
        ran = true;
    }));
    for (int i = 0; i < 100 && !ran; ++i)
        loop.RunOnce(20);
    ASSERT_TRUE(ran);
    EXPECT_EQ((std::vector<Platform::Milliseconds>{Whole, 100, Whole, 100, 0}), left);
    EXPECT_EQ(Whole, WindowWaitBudget::Left()) << "outside any handler";
}
