// The host window on the test rig's display: a window built from a test skin
// shows its screen (also in a screenshot), clicks (pushed as SDL events, and
// through xdotool against the real window) switch screens through a "Connect"
// with a "ScreenSlot", the clock ticks, only the dirty region reaches the
// screen, a failing slot does not stop the loop, the wheel and dropped files
// arrive at window coordinates, keys reach the focus object, only a second
// click at the same point is a double click and popups stay inside the work
// area; the pointer's shapes, a release outside the window after a press
// inside, and maximising, minimising and restoring under a window manager.
#include "framework/host/VaboWnd.h"

#include <gtest/gtest.h>

#include <SDL_image.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <functional>
#include <stdexcept>
#include <utility>

#include "TestPanel.h"
#include "WindowTestSupport.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/HostInputSignals.h"
#include "platform/Display.h"
#include "platform/Log.h"
#include "platform/TickRequest.h"
#include "support/WindowManager.h"

using WindowTest::Hex;

namespace {

constexpr std::uint32_t kGreen = 0x00A000;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kYellow = 0xE0E000;

// Each test's window has a place of its own on the shared display, since the
// tests run side by side, away from the middle where other windows open.
Platform::Rect PlaceOfThisTest()
{
    static const char* const tests[] = {
        "APopupIsKeptInsideTheWorkArea",
        "ShowsItsScreenAlsoInAScreenshot",
        "ClicksSwitchScreensThroughAScreenSlot",
        "TheWheelAndADroppedFileArriveAtWindowCoordinates",
        "TheClockTicksWhenAskedAtMostEveryTenMilliseconds",
        "PixelsOutsideTheDirtyRegionAreUntouchedBetweenFrames",
        "AFailingSlotIsLoggedAndTheLoopCarriesOn",
        "KeysReachTheFocusObjectAsCharactersAndVirtualKeys",
        "OnlyASecondClickAtTheSamePointIsADoubleClick",
        "APlainTickListenerGetsTheSteadyTickWhileTheWindowIsShown",
        "TheCursorTakesItsThreeShapesAndIgnoresOtherValues",
        "APressInsideAndAReleaseOutsideBothReachTheWindow",
        "UnderAWindowManagerItMaximisesMinimisesAndRestores",
        "MinimisedItTicksAndSetsItsTitleButComposesNothing",
        "AScreenShownAgainFromInsideATickGetsTheSteadyTick",
    };
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    int slot = 0;
    while (slot < int(sizeof tests / sizeof tests[0]) && name != tests[slot])
        ++slot;
    // Down the right edge, then along the bottom, then a row above it.
    if (slot < 7)
        return Platform::Rect{1070, 10 + slot * 140, 200, 120};
    if (slot < 12)
        return Platform::Rect{850 - (slot - 7) * 210, 890, 200, 120};
    return Platform::Rect{850 - (slot - 12) * 210, 750, 200, 120};
}

Platform::Milliseconds lastWindowEvent = 0;

int NoteWindowEvent(void*, SDL_Event* event)
{
    if (event->type == SDL_WINDOWEVENT)
        lastWindowEvent = Platform::NowMs();
    return 0;
}

std::string Data(const std::string& name)
{
    return std::string(PELLORA_TEST_DATA) + "/host/" + name;
}

class HostWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WindowTest::StartFramework());
        TestPanel::Register();
        TiXmlElement* element = skin.LoadXML(Data("HostSkin.xml"));
        ASSERT_TRUE(element);
        host.reset(new Vabo::VaboWnd(element));
        place = PlaceOfThisTest();
        ASSERT_TRUE(host->Create(Vabo::VaboWnd::Kind::Application, "Pellora host test", place.x, place.y, place.width,
                                 place.height, nullptr));
        root = DllGlobalObjectFactoryInstance().Create(element);
        ASSERT_TRUE(root);
        Vabo::ScreenManager& screens = host->GetScreenManager();
        root->SetTopLevel(true);
        root->SetScreenManager(&screens);
        screens.SetBaseRoot(root.get());
        host->StartHost();
        screens.AddScreen("A", false, "PageA", Data("ScreenA.xml"));
        screens.AddScreen("B", false, "PageB", Data("ScreenB.xml"));
        screens.ActivateScreen("A", true);
        host->Show();
        host->SetFocus();
        // The display reports the window exposed and focused a while later,
        // and each exposure repaints it whole: wait until it has settled.
        SDL_AddEventWatch(&NoteWindowEvent, nullptr);
        Settle();
    }

    void TearDown() override
    {
        SDL_DelEventWatch(&NoteWindowEvent, nullptr);
        host.reset();
        root.reset();
    }

    static void Run(Platform::Milliseconds ms) { Platform::EventLoop::Instance().RunFor(ms); }

    // Runs until no window event came for a while (at most a few seconds).
    static void Settle()
    {
        const Platform::Milliseconds start = Platform::NowMs();
        lastWindowEvent = start;
        while (Platform::NowMs() - lastWindowEvent < 300 && Platform::NowMs() - start < 3000)
            Run(20);
    }

    std::string Active()
    {
        std::string name;
        return host->GetScreenManager().GetActiveScreenName(name) ? name : "<none>";
    }

    TestPanel* Screen(const std::string& name)
    {
        return static_cast<TestPanel*>(host->GetScreenManager().FindScreen(name)->root);
    }

    std::uint32_t Id() { return host->GetNativeWindow()->Id(); }

    void Click(int x, int y)
    {
        WindowTest::PushClick(Id(), x, y);
        Run(100);
    }

    std::uint32_t Shown(int x, int y) { return WindowTest::ShownPixel(host->GetNativeWindow()->Handle(), x, y); }

    Platform::Rect place;
    XMLLoadSave skin;
    std::unique_ptr<Vabo::VaboWnd> host;
    std::shared_ptr<Vabo::GuiObject> root;
};

} // namespace

TEST_F(HostWindowTest, ShowsItsScreenAlsoInAScreenshot)
{
    EXPECT_EQ("A", Active());
    EXPECT_EQ(Hex(kGreen), Hex(Shown(5, 5)));
    EXPECT_EQ(Hex(kBlue), Hex(Shown(30, 40)));
    EXPECT_EQ(Hex(kGreen), Hex(Shown(199, 119)));

    const std::string shot = "/tmp/pellora-host-shot-" + std::to_string(::getpid()) + ".png";
    ASSERT_TRUE(WindowTest::SaveScreenshot(shot));
    SDL_Surface* loaded = IMG_Load(shot.c_str());
    ASSERT_TRUE(loaded) << IMG_GetError();
    SDL_Surface* image = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    ASSERT_TRUE(image);
    auto at = [&](int x, int y) {
        return reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(image->pixels) + y * image->pitch)[x]
            & 0xFFFFFF;
    };
    EXPECT_EQ(Hex(kGreen), Hex(at(place.x + 5, place.y + 5)));
    EXPECT_EQ(Hex(kBlue), Hex(at(place.x + 50, place.y + 50)));
    EXPECT_EQ(Hex(kGreen), Hex(at(place.x + 100, place.y + 100)));
    SDL_FreeSurface(image);
    if (!std::getenv("PELLORA_KEEP_SHOTS"))
        std::remove(shot.c_str());
}

TEST_F(HostWindowTest, ClicksSwitchScreensThroughAScreenSlot)
{
    Click(5, 5);
    EXPECT_EQ("A", Active()) << "a click beside the button does nothing";
    Click(30, 40);
    EXPECT_EQ("B", Active());
    EXPECT_EQ(std::vector<std::string>({"A", "B"}), host->GetScreenManager().GetBackStack());
    EXPECT_EQ(Hex(kYellow), Hex(Shown(30, 40)));
    host->GetScreenManager().ScreenBack();
    Run(50);
    EXPECT_EQ(Hex(kBlue), Hex(Shown(30, 40)));

    // Once more with the real pointer against the real window.
    WindowTest::ClickAt(place.x + 30, place.y + 40, 1);
    EXPECT_TRUE(WindowTest::PumpUntil([&] { return Active() == "B"; }, 1000));
    EXPECT_EQ(Hex(kYellow), Hex(Shown(30, 40)));
}

TEST_F(HostWindowTest, TheWheelAndADroppedFileArriveAtWindowCoordinates)
{
    Screen("A")->Record<Vabo::Signal::MouseWheel>();
    Screen("A")->Record<Vabo::Signal::DropFile>();
    WindowTest::ClickAt(place.x + 70, place.y + 90, 4);
    WindowTest::PumpUntil([&] { return !Screen("A")->received.empty(); }, 1000);
    {
        DesktopLock pointer("pointer");
        WindowTest::PointerTo(place.x + 60, place.y + 50);
        SDL_Event e;
        SDL_zero(e);
        e.drop.windowID = Id();
        const std::pair<Uint32, const char*> drop[] = {{SDL_DROPBEGIN, nullptr},
                                                       {SDL_DROPFILE, "/tmp/first.wav"},
                                                       {SDL_DROPFILE, "/tmp/second.wav"},
                                                       {SDL_DROPCOMPLETE, nullptr}};
        for (const auto& [type, file] : drop) {
            e.type = type;
            e.drop.file = file ? SDL_strdup(file) : nullptr;
            ASSERT_EQ(1, SDL_PushEvent(&e));
        }
        Run(60);
    }
    EXPECT_EQ(std::vector<std::string>({"MouseWheel@70,90(120)", "DropFile@60,50"}), Screen("A")->received);
}

TEST_F(HostWindowTest, TheClockTicksWhenAskedAtMostEveryTenMilliseconds)
{
    int ticks = 0;
    // A listener that says when it is next due, and moves on every tick.
    Screen("A")->ConnectScheduledTick(
        [&](Vabo::Signal::Base*, Vabo::GuiObject*) {
            ++ticks;
            Platform::RequestNextTick();
        },
        Screen("A")->Watch());
    Run(400);
    // Loosely: a busy machine loses ticks, but there are never more.
    EXPECT_GE(ticks, 8);
    EXPECT_LE(ticks, 41);
    host->Hide();
    Run(50);
    const int hidden = ticks;
    Run(100);
    EXPECT_EQ(hidden, ticks) << "a hidden window's screens get no ticks";
}

TEST_F(HostWindowTest, APlainTickListenerGetsTheSteadyTickWhileTheWindowIsShown)
{
    // As a skin's named slot listens: it never says when it is next due.
    std::vector<Platform::Milliseconds> at;
    Screen("A")->Connect(
        Vabo::Signal::TypeIdOf<Vabo::Signal::Timer>(), nullptr,
        [&](Vabo::Signal::Base*, Vabo::GuiObject*) { at.push_back(Platform::NowMs()); }, Screen("A")->Watch());
    EXPECT_TRUE(WindowTest::PumpUntil([&] { return at.size() >= 30; }, 3000)) << at.size() << " ticks";
    ASSERT_GE(at.size(), 2u);
    EXPECT_GE(at.back() - at.front(), Platform::Milliseconds(at.size() - 1) * Platform::EventLoop::kTickPeriod)
        << "never faster than the clock's period";
    host->Hide();
    Run(50);
    const std::size_t hidden = at.size();
    Run(100);
    EXPECT_EQ(hidden, at.size()) << "a hidden window's listeners get no ticks";
    host->Show();
    EXPECT_TRUE(WindowTest::PumpUntil([&] { return at.size() >= hidden + 5; }, 2000)) << "shown again, it ticks on";
}

// As a skin brings a screen back: an animation key's signal, connected to a
// screen slot, fires inside a tick of the screen being left.
TEST_F(HostWindowTest, AScreenShownAgainFromInsideATickGetsTheSteadyTick)
{
    Vabo::ScreenManager& screens = host->GetScreenManager();
    screens.ActivateScreen("B", false);
    int ticks = 0;
    Screen("B")->Connect(
        Vabo::Signal::TypeIdOf<Vabo::Signal::Timer>(), nullptr,
        [&](Vabo::Signal::Base*, Vabo::GuiObject*) { ++ticks; }, Screen("B")->Watch());
    screens.ActivateScreen("A", false);
    Run(50);
    bool switched = false;
    Screen("A")->ConnectScheduledTick(
        [&](Vabo::Signal::Base*, Vabo::GuiObject*) {
            if (!std::exchange(switched, true))
                screens.ActivateScreen("B", false);
        },
        Screen("A")->Watch());
    ASSERT_TRUE(WindowTest::PumpUntil([&] { return switched; }, 1000));
    ticks = 0;
    Run(500);
    EXPECT_GE(ticks, 10) << ticks << " ticks in 500 ms";
}

TEST_F(HostWindowTest, MinimisedItTicksAndSetsItsTitleButComposesNothing)
{
    TestPanel* panel = Screen("A");
    int ticks = 0;
    // What the tuner does minimised: every tick moves a display and the title.
    panel->ConnectScheduledTick(
        [&](Vabo::Signal::Base*, Vabo::GuiObject*) {
            ++ticks;
            panel->Invalidate();
            host->SetWindowText("tick " + std::to_string(ticks));
            Platform::RequestTickAt(Platform::NowMs() + 20);
        },
        panel->Watch());
    const int before = panel->draws;
    EXPECT_TRUE(WindowTest::PumpUntil([&] { return panel->draws > before + 2; })) << "shown, each tick draws";
    // No window manager runs here: the mark one puts on a minimised window is
    // set by hand, and SDL reads it.
    const std::string id = WindowTest::XWindowName(host->GetNativeWindow()->Handle());
    ASSERT_EQ(0, std::system(("xprop -id " + id + " -f _NET_WM_STATE 32a -set _NET_WM_STATE _NET_WM_STATE_HIDDEN").c_str()));
    ASSERT_TRUE(WindowTest::PumpUntil([&] { return host->IsIconic(); }, 5000));
    const int drawn = panel->draws;
    const int ticked = ticks;
    Run(300);
    EXPECT_GE(ticks, ticked + 3) << "minimised, the clock runs on";
    EXPECT_EQ(drawn, panel->draws) << "and nothing is composed";
    EXPECT_EQ("tick " + std::to_string(ticks), host->GetWindowText());
    ASSERT_EQ(0, std::system(("xprop -id " + id + " -remove _NET_WM_STATE").c_str()));
    EXPECT_TRUE(WindowTest::PumpUntil([&] { return !host->IsIconic() && panel->draws > drawn; }, 5000))
        << "restored, it is drawn again";
}

TEST_F(HostWindowTest, PixelsOutsideTheDirtyRegionAreUntouchedBetweenFrames)
{
    // Marks painted on the window behind the program's back: only a frame that
    // covers them can remove them. A window event in between (another test's
    // window taking the focus) repaints everything, so such a round is repeated.
    SDL_Window* window = host->GetNativeWindow()->Handle();
    auto* button = static_cast<TestPanel*>(Screen("A")->GetChildren().at(0));
    const std::uint32_t colours[] = {0xFF8000, 0x00FFFF};
    bool undisturbed = false;
    for (int round = 0; round < 5 && !undisturbed; ++round) {
        Settle();
        const Platform::Milliseconds before = lastWindowEvent;
        ASSERT_TRUE(WindowTest::PaintOnWindow(window, 150, 80, 20, 20, 0xFF00FF));
        ASSERT_TRUE(WindowTest::PaintOnWindow(window, 22, 32, 4, 4, 0xFF00FF));
        ASSERT_EQ("FF00FF", Hex(Shown(155, 85)));
        const std::uint32_t colour = colours[round % 2];
        button->color = GdiplusGfxLayer::Color(255, int(colour >> 16), int((colour >> 8) & 0xFF), int(colour & 0xFF));
        button->Invalidate();
        Run(50);
        const std::uint32_t inside = Shown(30, 40);
        const std::uint32_t markInside = Shown(23, 33);
        const std::uint32_t markOutside = Shown(155, 85);
        const std::uint32_t page = Shown(5, 5);
        if (lastWindowEvent != before)
            continue;
        undisturbed = true;
        EXPECT_EQ(Hex(colour), Hex(inside)) << "the dirty part is drawn";
        EXPECT_EQ(Hex(colour), Hex(markInside)) << "the mark inside the dirty part is painted over";
        EXPECT_EQ("FF00FF", Hex(markOutside)) << "the mark outside it stays";
        EXPECT_EQ(Hex(kGreen), Hex(page));
    }
    EXPECT_TRUE(undisturbed) << "every round was disturbed by window events";
}

TEST_F(HostWindowTest, AFailingSlotIsLoggedAndTheLoopCarriesOn)
{
    Platform::LogCapture log;
    TestPanel* page = Screen("A");
    int clicks = 0;
    page->Connect(
        Vabo::Signal::TypeIdOf<Vabo::Signal::LeftButtonDown>(), nullptr,
        [&](Vabo::Signal::Base*, Vabo::GuiObject*) {
            if (++clicks == 1)
                throw std::runtime_error("the slot failed");
        },
        page->Watch());
    Click(150, 100);
    Click(150, 100);
    EXPECT_EQ(2, clicks);
    EXPECT_TRUE(log.Contains("the slot failed"));
    Click(30, 40);
    EXPECT_EQ("B", Active()) << "the window still works";
}

TEST_F(HostWindowTest, KeysReachTheFocusObjectAsCharactersAndVirtualKeys)
{
    auto* button = static_cast<TestPanel*>(Screen("A")->GetChildren().at(0));
    button->Record<Vabo::Signal::KeyPress>();
    host->GetScreenManager().SetFocusObject(button);
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_KEYDOWN;
    e.key.windowID = Id();
    for (const auto& key : {std::make_pair(SDLK_LEFT, KMOD_NONE), std::make_pair(SDLK_BACKSPACE, KMOD_NONE),
                            std::make_pair(SDLK_v, KMOD_LCTRL)}) {
        e.key.keysym.sym = key.first;
        e.key.keysym.mod = key.second;
        ASSERT_EQ(1, SDL_PushEvent(&e));
    }
    SDL_zero(e);
    e.type = SDL_TEXTINPUT;
    e.text.windowID = Id();
    std::strcpy(e.text.text, "a\xC3\xA9");
    ASSERT_EQ(1, SDL_PushEvent(&e));
    Run(60);
    EXPECT_EQ(std::vector<std::string>({"KeyPress(2147483685)", "KeyPress(2147483656)", "KeyPress(8)", "KeyPress(22)",
                                        "KeyPress(97)", "KeyPress(233)"}),
              button->received);
}

TEST_F(HostWindowTest, OnlyASecondClickAtTheSamePointIsADoubleClick)
{
    // Two buttons side by side, clicked one after the other, are two presses;
    // the second click of a double click lands within a few pixels.
    TestPanel* page = Screen("A");
    page->Record<Vabo::Signal::LeftButtonDown>();
    page->Record<Vabo::Signal::LeftButtonDblClk>();
    const struct {
        const char* what;
        std::vector<std::pair<int, int>> clicks;
        std::vector<std::string> received;
    } cases[] = {
        {"30 pixels apart", {{110, 60}, {140, 60}}, {"LeftButtonDown@110,60", "LeftButtonDown@140,60"}},
        {"at one point", {{150, 90}, {150, 90}}, {"LeftButtonDown@150,90", "LeftButtonDblClk@150,90"}},
        {"2 pixels apart", {{110, 100}, {112, 102}}, {"LeftButtonDown@110,100", "LeftButtonDblClk@112,102"}},
        {"4 pixels apart", {{170, 20}, {170, 24}}, {"LeftButtonDown@170,20", "LeftButtonDown@170,24"}},
    };
    for (const auto& c : cases) {
        page->received.clear();
        std::vector<std::pair<int, int>> onScreen;
        for (const auto& [x, y] : c.clicks)
            onScreen.emplace_back(place.x + x, place.y + y);
        WindowTest::QuickClicks(onScreen);
        WindowTest::PumpUntil([&] { return page->received.size() >= c.received.size(); }, 1000);
        EXPECT_EQ(c.received, page->received) << c.what;
    }
}

TEST_F(HostWindowTest, APopupIsKeptInsideTheWorkArea)
{
    Vabo::VaboWnd popup;
    ASSERT_TRUE(popup.Create(Vabo::VaboWnd::Kind::Popup, "", 0, 0, 300, 200, host.get()));
    const Platform::Rect work = Platform::WorkAreaOf(popup.GetNativeWindow()->Handle());
    ASSERT_GT(work.width, 0);
    popup.MoveTo(work.Right() - place.x - 100, work.Bottom() - place.y - 50);
    EXPECT_EQ(Platform::Rect({work.Right() - 300, work.Bottom() - 200, 300, 200}), popup.GetWindowRect());
    popup.MoveTo(-place.x - 40, 20);
    EXPECT_EQ(work.x, popup.GetWindowRect().x);
    EXPECT_EQ(place.y + 20, popup.GetWindowRect().y);

    Vabo::VaboWnd huge;
    ASSERT_TRUE(huge.Create(Vabo::VaboWnd::Kind::Popup, "", 0, 0, work.width + 100, work.height + 100, host.get()));
    huge.MoveTo(10, 10);
    EXPECT_EQ(work.x, huge.GetWindowRect().x) << "a popup larger than the work area goes to its top-left";
    EXPECT_EQ(work.y, huge.GetWindowRect().y);
}

TEST_F(HostWindowTest, TheCursorTakesItsThreeShapesAndIgnoresOtherValues)
{
    DesktopLock pointer("pointer");
    WindowTest::PointerTo(place.x + 150, place.y + 100);
    const auto shownAfter = [&](int shape) {
        host->SetCursorShape(shape);
        Run(30);
        return WindowTest::CursorImage();
    };
    const std::string arrow = shownAfter(0);
    const std::string diagonal = shownAfter(1);
    const std::string vertical = shownAfter(2);
    ASSERT_FALSE(arrow.empty());
    EXPECT_NE(arrow, diagonal);
    EXPECT_NE(arrow, vertical);
    EXPECT_NE(diagonal, vertical);
    const std::pair<int, const std::string*> steps[] = {
        {3, &vertical}, {-1, &vertical}, {1, &diagonal}, {99, &diagonal}, {0, &arrow},
    };
    for (const auto& [shape, shown] : steps)
        EXPECT_EQ(*shown, shownAfter(shape)) << "shape " << shape;
}

TEST_F(HostWindowTest, APressInsideAndAReleaseOutsideBothReachTheWindow)
{
    auto* button = static_cast<TestPanel*>(Screen("A")->GetChildren().at(0));
    button->Record<Vabo::Signal::LeftButtonDown>();
    button->Record<Vabo::Signal::LeftButtonUp>();
    Vabo::ScreenManager& screens = host->GetScreenManager();
    {
        DesktopLock pointer("pointer");
        WindowTest::PointerTo(place.x + 30, place.y + 40);
        WindowTest::PointerDown();
        ASSERT_TRUE(WindowTest::PumpUntil([&] { return screens.IsLeftButtonHeld(); }, 1000));
        WindowTest::PointerTo(place.x + 260, place.y + 60);
        WindowTest::PointerUp();
        EXPECT_TRUE(WindowTest::PumpUntil([&] { return !screens.IsLeftButtonHeld(); }, 1000))
            << "the release outside the window reaches it";
    }
    EXPECT_EQ(std::vector<std::string>({"LeftButtonDown@30,40", "LeftButtonUp@260,60"}), button->received);
    EXPECT_EQ("A", Active()) << "a press that ends outside activates nothing";
}

TEST_F(HostWindowTest, UnderAWindowManagerItMaximisesMinimisesAndRestores)
{
    WindowManager manager(PELLORA_TEST_DATA "/openbox/rc.xml");
    ASSERT_TRUE(manager.Running());
    // A window the user may resize, as the program's main window is.
    Vabo::VaboWnd window;
    ASSERT_TRUE(window.Create(Vabo::VaboWnd::Kind::Application, "Pellora resizable test", place.x, place.y,
                              place.width, place.height, nullptr, true));
    window.StartHost();
    window.Show();
    ASSERT_TRUE(WindowTest::PumpUntil([&] { return window.IsWindowVisible(); }, 3000));
    Settle();
    const Platform::Rect normal = window.GetWindowRect();
    const Platform::Rect work = Platform::WorkAreaOf(window.GetNativeWindow()->Handle());
    struct Step {
        const char* what;
        std::function<void()> act;
        std::function<bool()> reached;
    };
    const Step steps[] = {
        {"maximised", [&] { window.Maximize(); },
         [&] {
             const Platform::Rect r = window.GetWindowRect();
             return window.IsZoomed() && r.width == work.width && r.height == work.height;
         }},
        {"restored from maximised", [&] { window.Restore(); },
         [&] { return !window.IsZoomed() && window.GetWindowRect() == normal; }},
        {"minimised", [&] { window.Minimize(); }, [&] { return window.IsIconic(); }},
        {"restored from minimised", [&] { window.Restore(); },
         [&] { return !window.IsIconic() && window.IsWindowVisible() && window.GetWindowRect() == normal; }},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_TRUE(WindowTest::PumpUntil(step.reached, 3000))
            << step.what << ": " << window.GetWindowRect().x << "," << window.GetWindowRect().y << " "
            << window.GetWindowRect().width << "x" << window.GetWindowRect().height;
    }
}
