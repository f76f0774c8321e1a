// The host window on the test rig's display: a window built from a test skin
// shows its screen, clicks (pushed as SDL events, and through xdotool against
// the real window) switch screens through a "Connect" with a "ScreenSlot", the
// clock ticks, only the dirty region reaches the screen, a failing slot does
// not stop the loop, and the wheel arrives at window coordinates.
#include "framework/host/VaboWnd.h"

#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>
#include <tinyxml.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "ScreenPixels.h"
#include "support/DesktopLock.h"
#include "TestPanel.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/VaboInit.h"
#include "framework/core/XMLLoadSave.h"
#include "framework/host/Clipboard.h"
#include "framework/host/HostInputSignals.h"
#include "platform/Display.h"
#include "platform/Log.h"
#include "platform/Video.h"

namespace {

constexpr std::uint32_t kGreen = 0x00A000;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kYellow = 0xE0E000;

// Each test's window has a place of its own on the shared display, since the
// tests run side by side, away from the middle where other windows open.
Platform::Rect PlaceOfThisTest()
{
    static const char* const tests[] = {
        "ShowsItsScreen", "AScreenshotShowsTheSkin", "AClickSwitchesScreensThroughAScreenSlot",
        "ARealClickThroughXdotoolSwitchesScreens", "TheWheelArrivesAtWindowCoordinates",
        "TheClockTicksAboutEveryTenMilliseconds", "PixelsOutsideTheDirtyRegionAreUntouchedBetweenFrames",
        "AFailingSlotIsLoggedAndTheLoopCarriesOn", "AModalLoopOfTheHostEndsOnRequestAndItsOwnerTakesNoInput",
        "TextSetOnTheClipboardIsReadBack", "KeysReachTheFocusObjectAsCharactersAndVirtualKeys",
        "ADroppedFileArrivesWithThePointersWindowPosition", "APopupIsKeptInsideTheWorkArea",
    };
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    int slot = 0;
    const int count = int(sizeof tests / sizeof tests[0]);
    while (slot < count && name != tests[slot])
        ++slot;
    // Down the right edge, then along the bottom, then down the left edge.
    if (slot < 7)
        return Platform::Rect{1070, 10 + slot * 140, 200, 120};
    if (slot < 12)
        return Platform::Rect{850 - (slot - 7) * 210, 890, 200, 120};
    return Platform::Rect{10, 10 + (slot - 12) * 140, 200, 120};
}

// Moves the pointer and clicks a button with xdotool, one test program at a time.
int XdotoolClick(int x, int y, int button)
{
    DesktopLock pointer("pointer");
    const std::string command = "xdotool mousemove --sync " + std::to_string(x) + " " + std::to_string(y) + " click "
                                + std::to_string(button);
    return std::system(command.c_str());
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
        DllVaboInitInstance();
        ASSERT_TRUE(Platform::IsVideoStarted()) << Platform::VideoError();
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

    void PushButton(Uint32 type, int x, int y)
    {
        SDL_Event e;
        SDL_zero(e);
        e.type = type;
        e.button.windowID = host->GetNativeWindow()->Id();
        e.button.button = SDL_BUTTON_LEFT;
        e.button.clicks = 1;
        e.button.x = x;
        e.button.y = y;
        ASSERT_EQ(1, SDL_PushEvent(&e));
    }

    void Click(int x, int y)
    {
        PushButton(SDL_MOUSEBUTTONDOWN, x, y);
        PushButton(SDL_MOUSEBUTTONUP, x, y);
        Run(100);
    }

    std::uint32_t Shown(int x, int y) { return ShownPixel(host->GetNativeWindow()->Handle(), x, y); }

    Platform::Rect place;
    XMLLoadSave skin;
    std::unique_ptr<Vabo::VaboWnd> host;
    std::shared_ptr<Vabo::GuiObject> root;
};

std::string Hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%06X", value);
    return text;
}

} // namespace

TEST_F(HostWindowTest, ShowsItsScreen)
{
    EXPECT_EQ("A", Active());
    EXPECT_EQ(Hex(kGreen), Hex(Shown(5, 5)));
    EXPECT_EQ(Hex(kBlue), Hex(Shown(30, 40)));
    EXPECT_EQ(Hex(kGreen), Hex(Shown(199, 119)));
}

TEST_F(HostWindowTest, AScreenshotShowsTheSkin)
{
    const std::string shot = "/tmp/pellora-host-shot-" + std::to_string(::getpid()) + ".png";
    ASSERT_EQ(0, std::system(("import -window root " + shot).c_str()));
    SDL_Surface* loaded = IMG_Load(shot.c_str());
    ASSERT_TRUE(loaded) << IMG_GetError();
    SDL_Surface* image = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    ASSERT_TRUE(image);
    auto at = [&](int x, int y) {
        return reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(image->pixels) + y * image->pitch)[x] & 0xFFFFFF;
    };
    EXPECT_EQ(Hex(kGreen), Hex(at(place.x + 5, place.y + 5)));
    EXPECT_EQ(Hex(kBlue), Hex(at(place.x + 50, place.y + 50)));
    EXPECT_EQ(Hex(kGreen), Hex(at(place.x + 100, place.y + 100)));
    SDL_FreeSurface(image);
    if (!std::getenv("PELLORA_KEEP_SHOTS"))
        std::remove(shot.c_str());
}

TEST_F(HostWindowTest, AClickSwitchesScreensThroughAScreenSlot)
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
}

TEST_F(HostWindowTest, ARealClickThroughXdotoolSwitchesScreens)
{
    ASSERT_EQ(0, XdotoolClick(place.x + 30, place.y + 40, 1));
    for (int i = 0; i < 50 && Active() != "B"; ++i)
        Run(20);
    EXPECT_EQ("B", Active());
    EXPECT_EQ(Hex(kYellow), Hex(Shown(30, 40)));
}

TEST_F(HostWindowTest, TheWheelArrivesAtWindowCoordinates)
{
    Screen("A")->Record<Vabo::Signal::MouseWheel>();
    ASSERT_EQ(0, XdotoolClick(place.x + 70, place.y + 90, 4));
    for (int i = 0; i < 50 && Screen("A")->received.empty(); ++i)
        Run(20);
    EXPECT_EQ(std::vector<std::string>({"MouseWheel@70,90(120)"}), Screen("A")->received);
}

TEST_F(HostWindowTest, TheClockTicksAboutEveryTenMilliseconds)
{
    int ticks = 0;
    Screen("A")->Connect(Vabo::Signal::TypeIdOf<Vabo::Signal::Timer>(), nullptr,
                         [&](Vabo::Signal::Base*, Vabo::GuiObject*) { ++ticks; }, Screen("A")->Watch());
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
        ASSERT_TRUE(PaintOnWindow(window, 150, 80, 20, 20, 0xFF00FF));
        ASSERT_TRUE(PaintOnWindow(window, 22, 32, 4, 4, 0xFF00FF));
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
    page->Connect(Vabo::Signal::TypeIdOf<Vabo::Signal::LeftButtonDown>(), nullptr,
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

TEST_F(HostWindowTest, AModalLoopOfTheHostEndsOnRequestAndItsOwnerTakesNoInput)
{
    Vabo::VaboWnd dialog;
    ASSERT_TRUE(dialog.Create(Vabo::VaboWnd::Kind::Popup, "", 10, 10, 50, 50, host.get()));
    dialog.StartHost();
    EXPECT_EQ(Platform::Rect({place.x + 10, place.y + 10, 50, 50}), dialog.GetWindowRect()) << "placed from the owner's corner";
    host->EnableWindow(false);
    int result = 0;
    Vabo::VaboWnd::PostCall([&] {
        PushButton(SDL_MOUSEBUTTONDOWN, 30, 40);
        PushButton(SDL_MOUSEBUTTONUP, 30, 40);
        Vabo::VaboWnd::PostCall([&] { dialog.EndModalLoop(3); });
    });
    result = dialog.RunModalLoop();
    host->EnableWindow(true);
    EXPECT_EQ(3, result);
    EXPECT_EQ("A", Active()) << "the owner took no click during the dialog";
    Click(30, 40);
    EXPECT_EQ("B", Active());
}

TEST_F(HostWindowTest, TextSetOnTheClipboardIsReadBack)
{
    DesktopLock clipboard("clipboard");
    Vabo::SetClipboardText("A4 = 440 Hz");
    std::string text;
    ASSERT_TRUE(Vabo::GetClipboardText(text));
    EXPECT_EQ("A4 = 440 Hz", text);
}

TEST_F(HostWindowTest, KeysReachTheFocusObjectAsCharactersAndVirtualKeys)
{
    auto* button = static_cast<TestPanel*>(Screen("A")->GetChildren().at(0));
    button->Record<Vabo::Signal::KeyPress>();
    host->GetScreenManager().SetFocusObject(button);
    auto push = [&](SDL_Keycode sym, Uint16 mod) {
        SDL_Event e;
        SDL_zero(e);
        e.type = SDL_KEYDOWN;
        e.key.windowID = host->GetNativeWindow()->Id();
        e.key.keysym.sym = sym;
        e.key.keysym.mod = mod;
        ASSERT_EQ(1, SDL_PushEvent(&e));
    };
    push(SDLK_LEFT, KMOD_NONE);
    push(SDLK_BACKSPACE, KMOD_NONE);
    push(SDLK_v, KMOD_LCTRL);
    SDL_Event text;
    SDL_zero(text);
    text.type = SDL_TEXTINPUT;
    text.text.windowID = host->GetNativeWindow()->Id();
    std::strcpy(text.text.text, "a\xC3\xA9");
    ASSERT_EQ(1, SDL_PushEvent(&text));
    Run(60);
    EXPECT_EQ(std::vector<std::string>({"KeyPress(2147483685)", "KeyPress(2147483656)", "KeyPress(8)", "KeyPress(22)",
                                        "KeyPress(97)", "KeyPress(233)"}),
              button->received);
}

TEST_F(HostWindowTest, ADroppedFileArrivesWithThePointersWindowPosition)
{
    Screen("A")->Record<Vabo::Signal::DropFile>();
    {
        DesktopLock pointer("pointer");
        ASSERT_EQ(0, std::system(("xdotool mousemove --sync " + std::to_string(place.x + 60) + " "
                                  + std::to_string(place.y + 50)).c_str()));
        const Uint32 window = host->GetNativeWindow()->Id();
        SDL_Event e;
        SDL_zero(e);
        e.drop.windowID = window;
        e.type = SDL_DROPBEGIN;
        ASSERT_EQ(1, SDL_PushEvent(&e));
        e.type = SDL_DROPFILE;
        e.drop.file = SDL_strdup("/tmp/first.wav");
        ASSERT_EQ(1, SDL_PushEvent(&e));
        e.drop.file = SDL_strdup("/tmp/second.wav");
        ASSERT_EQ(1, SDL_PushEvent(&e));
        e.type = SDL_DROPCOMPLETE;
        e.drop.file = nullptr;
        ASSERT_EQ(1, SDL_PushEvent(&e));
        Run(60);
    }
    EXPECT_EQ(std::vector<std::string>({"DropFile@60,50"}), Screen("A")->received);
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
