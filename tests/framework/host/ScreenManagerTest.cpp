// The screen manager without a display: the back stack, screens built on first
// use and destroyed after a "DestroyOnDeactivate" visit, focus changes, key
// bindings, the clock and dirty-region rendering into a real back buffer; and
// the input router that turns host inputs into its signals, asking for a
// frame only when a handler made something dirty.
#include "framework/host/ScreenManager.h"
#include "framework/host/InputRouter.h"

#include <gtest/gtest.h>

#include <functional>

#include <SDL.h>

#include "TestPanel.h"
#include "framework/core/DocMap.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/InputSignals.h"
#include "framework/core/ObjectSignals.h"
#include "framework/host/WindowSurface.h"
#include "framework/core/HostInputSignals.h"
#include "framework/core/ScreenCollector.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/TickRequest.h"

using Vabo::Point;
using Vabo::Rect;
using Vabo::ScreenManager;
using Kind = Platform::HostInput::Kind;
using Platform::HostInput;

namespace {

HostInput At(Kind kind, int x, int y)
{
    HostInput input;
    input.kind = kind;
    input.x = x;
    input.y = y;
    return input;
}

std::string Data(const std::string& name)
{
    return std::string(PELLORA_TEST_DATA) + "/host/" + name;
}

struct RecordingPresenter : Vabo::FramePresenter {
    std::vector<Rect> shown;
    void GetClientSize(int& width, int& height) const override
    {
        width = 200;
        height = 120;
    }
    void Present(GdiplusGfxLayer::WindowSurface&, const GdiplusGfxLayer::Region& region) override
    {
        shown.push_back(region.GetBounds());
    }
};

std::uint32_t Pixel(GdiplusGfxLayer::WindowSurface& surface, int x, int y)
{
    cairo_surface_t* s = surface.GetBackBuffer().GetSurface();
    cairo_surface_flush(s);
    const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
}

std::uint32_t Argb(GdiplusGfxLayer::WindowSurface& surface, int x, int y)
{
    cairo_surface_t* s = surface.GetBackBuffer().GetSurface();
    cairo_surface_flush(s);
    const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    return reinterpret_cast<const std::uint32_t*>(row)[x];
}

class ScreenManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestPanel::Register();
        SignalJournal().clear();
        base.SetName("Base");
        base.SetSize(200, 120);
        base.SetTopLevel(true);
        base.SetScreenManager(&screens);
        screens.SetBaseRoot(&base);
        screens.SetWindowSize(200, 120);
        screens.AddScreen("A", false, "PageA", Data("ScreenA.xml"));
        screens.AddScreen("B", false, "PageB", Data("ScreenB.xml"));
        screens.AddScreen("T", true, "Transient", Data("Transient.xml"));
    }

    TestPanel* Root(const std::string& screen)
    {
        const ScreenManager::ScreenEntry* entry = screens.FindScreen(screen);
        return entry ? static_cast<TestPanel*>(entry->root) : nullptr;
    }

    std::string Active()
    {
        std::string name;
        return screens.GetActiveScreenName(name) ? name : "<none>";
    }

    void RecordEveryInput()
    {
        base.Record<Vabo::Signal::MouseMove>();
        base.Record<Vabo::Signal::LeftButtonDown>();
        base.Record<Vabo::Signal::LeftButtonUp>();
        base.Record<Vabo::Signal::LeftButtonDblClk>();
        base.Record<Vabo::Signal::RightButtonDblClk>();
        base.Record<Vabo::Signal::GuiBuilderActivate>();
        base.Record<Vabo::Signal::MouseWheel>();
        base.Record<Vabo::Signal::DropFile>();
        base.Record<Vabo::Signal::WindowSized>();
        base.Record<Vabo::Signal::WindowActivated>();
        base.Record<Vabo::Signal::HostWindowMoved>();
        base.Record<Vabo::Signal::KeyPress>();
    }

    // Every other input once, the pointer standing where it last moved to;
    // the base root is the focus object when the key comes.
    void RouteEveryInput()
    {
        router.Route(At(Kind::MouseMove, 10, 20), true);
        router.Route(At(Kind::LeftButtonDblClk, 3, 4), true);
        router.Route(At(Kind::RightButtonDblClk, 5, 6), true);
        HostInput wheel = At(Kind::MouseWheel, 12, 34);
        wheel.wheelDelta = -120;
        router.Route(wheel, true);
        HostInput drop = At(Kind::DropFile, 7, 8);
        drop.fileName = "/tmp/a.wav";
        router.Route(drop, true);
        router.Route(At(Kind::Sized, 300, 200), true);
        router.Route(At(Kind::FocusGained, 0, 0), true);
        router.Route(At(Kind::Moved, 40, 50), true);
        screens.SetFocusObject(&base);
        HostInput key = At(Kind::KeyPress, 0, 0);
        key.keyCode = 22;
        router.Route(key, true);
    }

    // Draws what is dirty, so the next input starts clean.
    void Frame() { screens.Render(surface, presenter); }

    ScreenManager screens;
    TestPanel base;
    Vabo::InputRouter router{screens};
    GdiplusGfxLayer::WindowSurface surface{200, 120};
    RecordingPresenter presenter;
};

using Names = std::vector<std::string>;

} // namespace

TEST_F(ScreenManagerTest, ScreensAreBuiltOnFirstActivationKeptAndToldOfEachChange)
{
    EXPECT_EQ(&base, screens.GetActiveRoot());
    screens.ActivateScreen("A", true);
    TestPanel* a = Root("A");
    ASSERT_NE(nullptr, a);
    EXPECT_EQ("PageA", a->GetName());
    EXPECT_EQ(200, a->GetWidth());
    EXPECT_EQ(a, screens.GetActiveRoot());
    a->Record<Vabo::Signal::ScreenActivation>();
    screens.ActivateScreen("A", true);
    EXPECT_TRUE(a->received.empty()) << "activating the active screen does nothing";
    screens.ActivateScreen("B", true);
    Root("B")->Record<Vabo::Signal::ScreenActivation>();
    SignalJournal().clear();
    screens.ActivateScreen("A", true);
    EXPECT_EQ(a, Root("A")) << "a kept screen is not rebuilt";
    EXPECT_EQ(Names({"PageB:ScreenActivation(out)", "PageA:ScreenActivation(in)"}), SignalJournal());
    EXPECT_TRUE(screens.IsFullRedraw());
    EXPECT_EQ(Names({"A", "B", "A"}), screens.GetBackStack());
}

TEST_F(ScreenManagerTest, AKeptScreenTakesTheWindowsSizeWhenItIsShownAgain)
{
    struct Step {
        int width, height;
        bool back; // return by the back stack instead of by name
    };
    const Step steps[] = {{300, 200, false}, {640, 400, true}, {200, 120, false}};
    screens.ActivateScreen("A", true);
    for (const Step& step : steps) {
        screens.ActivateScreen("B", true);
        screens.WindowSized(step.width, step.height);
        if (step.back)
            screens.ScreenBack();
        else
            screens.ActivateScreen("A", true);
        ASSERT_EQ("A", Active());
        EXPECT_EQ((Rect{0, 0, step.width, step.height}), Root("A")->GetRect())
            << "resized to " << step.width << " x " << step.height << " while B was shown";
    }
}

TEST_F(ScreenManagerTest, BackWithoutAPushAndResetKeepsTheLast)
{
    screens.ScreenBack();
    EXPECT_EQ("<none>", Active()) << "back on an empty stack does nothing";
    screens.ActivateScreen("A", true);
    screens.ScreenBack();
    EXPECT_EQ("A", Active()) << "back with one name does nothing";
    screens.ActivateScreen("B", true);
    screens.ScreenBack();
    EXPECT_EQ("A", Active());
    EXPECT_EQ(Names({"A"}), screens.GetBackStack()) << "going back pushes nothing";

    screens.ActivateScreen("B", true);
    screens.ActivateScreen("A", false);
    screens.ActivateScreen("T", true);
    screens.ResetBackStack();
    EXPECT_EQ(Names({"T"}), screens.GetBackStack());
    EXPECT_EQ("T", Active());
}

TEST_F(ScreenManagerTest, ADestroyOnDeactivateScreenIsDestroyedOnTheNextTickUnlessEnteredAgain)
{
    const int aliveBefore = TestPanel::alive;
    screens.ActivateScreen("T", true);
    TestPanel* first = Root("T");
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(aliveBefore + 2, TestPanel::alive) << "the root and its child";

    // Back before the tick: the tree and the window's target are kept.
    screens.ActivateScreen("A", true);
    screens.ActivateScreen("T", true);
    EXPECT_FALSE(screens.FindScreen("T")->closed);
    screens.Timer();
    EXPECT_EQ(first, Root("T"));
    EXPECT_EQ(first, screens.GetActiveRoot());

    std::weak_ptr<void> firstAlive = first->Watch();
    screens.ActivateScreen("A", true);
    EXPECT_TRUE(screens.FindScreen("T")->closed);
    EXPECT_FALSE(firstAlive.expired()) << "not destroyed inside the activation";
    screens.Timer();
    EXPECT_TRUE(firstAlive.expired()) << "destroyed on the tick";
    EXPECT_EQ(nullptr, Root("T"));
    EXPECT_FALSE(screens.FindScreen("T")->closed);
    EXPECT_EQ(aliveBefore + 2, TestPanel::alive) << "only screen A's root and button remain";

    screens.ActivateScreen("T", true);
    ASSERT_NE(nullptr, Root("T"));
    EXPECT_EQ(Root("T"), screens.GetActiveRoot());
}

TEST_F(ScreenManagerTest, AFocusChangeTellsTheOldObjectFirst)
{
    TestPanel one, two;
    one.SetName("one");
    two.SetName("two");
    one.SetSize(10, 10);
    two.SetPosition(50, 50);
    two.SetSize(10, 10);
    base.AddChild(&one, false);
    base.AddChild(&two, false);
    one.Record<Vabo::Signal::FocusChange>();
    two.Record<Vabo::Signal::FocusChange>();

    screens.SetFocusObject(&one);
    screens.SetFocusObject(&two);
    screens.SetFocusObject(&two);
    EXPECT_EQ(Names({"one:FocusChange(gained)", "one:FocusChange(lost)", "two:FocusChange(gained)"}), SignalJournal());
    EXPECT_TRUE(screens.IsFocusObject(&two));

    SignalJournal().clear();
    screens.LeftButtonDown(Point{55, 55});
    EXPECT_TRUE(SignalJournal().empty()) << "a click inside the focus object keeps the focus";
    screens.LeftButtonDown(Point{5, 5});
    EXPECT_EQ(Names({"two:FocusChange(lost)"}), SignalJournal());
    EXPECT_EQ(nullptr, screens.GetFocusObject());
    base.RemoveChild(&one, false);
    base.RemoveChild(&two, false);

    {
        TestPanel gone;
        screens.SetFocusObject(&gone);
    }
    EXPECT_EQ(nullptr, screens.GetFocusObject()) << "a destroyed focus object is forgotten";
    screens.KeyPress(65); // and is sent no key
}

// The second press of a pair moves the focus as the first did: kept by a
// press inside the focus object, dropped by one outside it, whether a tree
// shows under the press or not.
TEST_F(ScreenManagerTest, APressAndADoubleClickMoveTheFocusAlikeWithATargetOrNone)
{
    TestPanel field;
    field.SetName("field");
    field.SetPosition(50, 50);
    field.SetSize(10, 10);
    base.AddChild(&field, false);
    for (const Kind kind : {Kind::LeftButtonDown, Kind::LeftButtonDblClk})
        for (const bool shown : {true, false})
            for (const bool inside : {true, false}) {
                const std::string how = std::string(kind == Kind::LeftButtonDown ? "a press" : "a double click")
                    + (shown ? " on the tree" : " with no tree shown") + (inside ? " inside" : " outside");
                base.SetVisible(shown);
                screens.SetFocusObject(&field);
                router.Route(At(kind, inside ? 55 : 5, inside ? 55 : 5), true);
                router.Route(At(Kind::LeftButtonUp, inside ? 55 : 5, inside ? 55 : 5), true);
                EXPECT_EQ(inside, screens.IsFocusObject(&field)) << how;
                screens.SetFocusObject(nullptr);
            }
    base.SetVisible(true);
    base.RemoveChild(&field, false);
}

TEST_F(ScreenManagerTest, KeysFireBindingsInTheTreeAndThenReachTheFocusObjectRightPressesNeedNoControlKey)
{
    TestPanel field;
    field.SetName("field");
    base.AddChild(&field, false);
    field.Record<Vabo::Signal::KeyPress>();
    base.Record<Vabo::Signal::Hide>();
    // Bindings are process-wide and the first of a key wins: Home, which no
    // framework window binds (popups take Up and Down).
    screens.AddKeyBinding(Vabo::Signal::KeyPress(0x80000024), std::make_shared<Vabo::Signal::Hide>());
    screens.AddKeyBinding(Vabo::Signal::KeyPress(0x80000024), std::make_shared<Vabo::Signal::Show>());

    screens.KeyPress('x');
    EXPECT_TRUE(SignalJournal().empty()) << "no focus object, no binding: nobody";
    screens.SetFocusObject(&field);
    screens.KeyPress(0x80000024);
    EXPECT_EQ(Names({"Base:Signal::Hide", "field:KeyPress(2147483684)"}), SignalJournal());
    base.SetVisible(true);
    base.RemoveChild(&field, false);

    // A right press with the left Control key held is ignored.
    base.Record<Vabo::Signal::RightButtonDown>();
    SDL_SetModState(KMOD_LCTRL);
    screens.RightButtonDown(Point{1, 2});
    EXPECT_FALSE(screens.IsRightButtonHeld());
    SDL_SetModState(KMOD_NONE);
    screens.RightButtonDown(Point{1, 2});
    EXPECT_TRUE(screens.IsRightButtonHeld());
    EXPECT_EQ(Names({"Signal::Hide", "RightButtonDown@1,2"}), base.received);
}

TEST_F(ScreenManagerTest, TheClockCarriesMillisecondsSinceTheManagerStartedAndTheCollectorKnowsIt)
{
    Platform::ManualClock clock(5000);
    const auto& all = DllScreenCollectorInstance().GetScreenManagers();
    const std::size_t before = all.size();
    auto own = std::make_unique<ScreenManager>();
    EXPECT_EQ(before + 1, all.size()) << "every manager is in the collector while it lives";
    EXPECT_EQ(own.get(), *all.rbegin());
    {
        TestPanel root;
        root.SetScreenManager(own.get());
        root.SetTopLevel(true);
        own->SetBaseRoot(&root);
        std::vector<std::int64_t> ticks;
        root.Connect(
            Vabo::Signal::TypeIdOf<Vabo::Signal::Timer>(), nullptr,
            [&](Vabo::Signal::Base* s, Vabo::GuiObject*) {
                ticks.push_back(static_cast<Vabo::Signal::Timer*>(s)->elapsed);
            },
            root.Watch());
        clock.Advance(10);
        own->Timer();
        clock.Advance(25);
        own->Timer();
        root.SetVisible(false);
        own->Timer();
        EXPECT_EQ(std::vector<std::int64_t>({10, 35}), ticks) << "a hidden target gets no tick";
    }
    own.reset();
    EXPECT_EQ(before, all.size());
}

// A plain listener of the tick asks for the next steady tick each time it is
// served; one that says when it is next due asks for what it says, and the
// clock may sleep while every listener is of that kind.
TEST_F(ScreenManagerTest, EachKindOfTickListenerAsksForItsNextTick)
{
    Platform::ManualClock clock(1000);
    using Connector = std::function<Vabo::Connection(TestPanel&, Vabo::SlotFunction)>;
    const Connector plain = [](TestPanel& panel, Vabo::SlotFunction slot) {
        return panel.Connect(Vabo::Signal::TypeIdOf<Vabo::Signal::Timer>(), nullptr, std::move(slot), panel.Watch());
    };
    const Connector scheduled = [](TestPanel& panel, Vabo::SlotFunction slot) {
        return panel.ConnectScheduledTick(std::move(slot), panel.Watch());
    };
    const Vabo::SlotFunction asksNothing = [](Vabo::Signal::Base*, Vabo::GuiObject*) {};
    const Vabo::SlotFunction asksLater = [](Vabo::Signal::Base*, Vabo::GuiObject*) {
        Platform::RequestTickAt(Platform::NowMs() + 300);
    };
    struct Row {
        const char* what;
        std::vector<std::pair<Connector, Vabo::SlotFunction>> listeners;
        bool shown;
        Platform::Milliseconds asked;
    };
    const Row rows[] = {
        {"a plain listener", {{plain, asksNothing}}, true, 0},
        {"a plain listener that also asks for a time", {{plain, asksLater}}, true, 0},
        {"a scheduled listener that asks for a time", {{scheduled, asksLater}}, true, 1300},
        {"a scheduled listener that asks for nothing", {{scheduled, asksNothing}}, true, Platform::kNoTick},
        {"a plain and a scheduled listener", {{scheduled, asksLater}, {plain, asksNothing}}, true, 0},
        {"a plain listener on a hidden screen", {{plain, asksNothing}}, false, Platform::kNoTick},
    };
    for (const Row& row : rows) {
        TestPanel page;
        page.SetScreenManager(&screens);
        base.AddChild(&page, false);
        std::vector<Vabo::Connection> connections;
        for (const auto& [connect, slot] : row.listeners)
            connections.push_back(connect(page, slot));
        base.SetVisible(row.shown);
        Platform::TakeRequestedTick();
        screens.Timer();
        EXPECT_EQ(row.asked, Platform::TakeRequestedTick()) << row.what;
        for (auto& connection : connections)
            page.Disconnect(connection, Vabo::Signal::TypeIdOf<Vabo::Signal::Timer>());
        base.RemoveChild(&page, false);
        base.SetVisible(true);
    }
}

// The tick reuses the receivers it collected while the tree stays as it was;
// each change below must show in the next tick's order, children before
// parents as a collection finds them.
TEST_F(ScreenManagerTest, TicksFollowEveryChangeOfTheTreeAndItsConnections)
{
    Platform::ManualClock clock;
    auto a = std::make_unique<TestPanel>();
    TestPanel b, c, d;
    a->SetName("A");
    b.SetName("B");
    c.SetName("C");
    d.SetName("D");
    base.AddChild(a.get(), false);
    base.AddChild(&b, false);
    a->AddChild(&c, false);
    for (TestPanel* panel : {&base, a.get(), &b, &c})
        panel->Record<Vabo::Signal::Timer>();
    const std::vector<std::pair<std::function<void()>, std::vector<std::string>>> steps = {
        {[] {}, {"C:Timer", "A:Timer", "B:Timer", "Base:Timer"}},
        {[] {}, {"C:Timer", "A:Timer", "B:Timer", "Base:Timer"}},
        {[&] { b.AddChild(&d, false); }, {"C:Timer", "A:Timer", "B:Timer", "Base:Timer"}},
        {[&] { d.Record<Vabo::Signal::Timer>(); }, {"C:Timer", "A:Timer", "D:Timer", "B:Timer", "Base:Timer"}},
        {[&] { b.RemoveChild(&d, false); }, {"C:Timer", "A:Timer", "B:Timer", "Base:Timer"}},
        {[&] { a->SetVisible(false); }, {"C:Timer", "A:Timer", "B:Timer", "Base:Timer"}},
        {[&] { a.reset(); }, {"B:Timer", "Base:Timer"}},
        {[&] { base.AddChild(&d, false); }, {"B:Timer", "D:Timer", "Base:Timer"}},
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        steps[i].first();
        SignalJournal().clear();
        clock.Advance(10);
        screens.Timer();
        EXPECT_EQ(steps[i].second, SignalJournal()) << "step " << i;
    }
    base.RemoveChild(&b, false);
    base.RemoveChild(&d, false);
}

TEST_F(ScreenManagerTest, RenderingRedrawsOnlyTheDirtyRegion)
{
    base.color = GdiplusGfxLayer::Color(255, 255, 0, 0);
    screens.InvalidateAll();
    ASSERT_TRUE(screens.Render(surface, presenter));
    ASSERT_EQ(1u, presenter.shown.size());
    EXPECT_EQ(Rect({0, 0, 200, 120}), presenter.shown[0]);
    EXPECT_EQ(0xFF0000u, Pixel(surface, 150, 100));

    EXPECT_FALSE(screens.Render(surface, presenter)) << "nothing dirty, nothing drawn";
    EXPECT_EQ(1u, presenter.shown.size());

    base.color = GdiplusGfxLayer::Color(255, 0, 0, 255);
    screens.InvalidateRect(Rect{10, 20, 30, 40});
    screens.InvalidateRect(Rect{0, 0, 0, 5});
    ASSERT_TRUE(screens.Render(surface, presenter));
    ASSERT_EQ(2u, presenter.shown.size());
    EXPECT_EQ(Rect({10, 20, 30, 40}), presenter.shown[1]);
    EXPECT_EQ(0x0000FFu, Pixel(surface, 10, 20));
    EXPECT_EQ(0x0000FFu, Pixel(surface, 39, 59));
    EXPECT_EQ(0xFF0000u, Pixel(surface, 40, 59));
    EXPECT_EQ(0xFF0000u, Pixel(surface, 9, 20));
    EXPECT_EQ(0xFF0000u, Pixel(surface, 150, 100));
    EXPECT_FALSE(screens.IsDirty());
}

TEST_F(ScreenManagerTest, EachFrameStartsFromATransparentRegionSoTranslucentDrawingDoesNotPileUp)
{
    base.color = GdiplusGfxLayer::Color(74, 255, 255, 255);
    for (int frame = 0; frame < 20; ++frame) {
        if (frame % 2)
            screens.InvalidateAll();
        else
            screens.InvalidateRect(Rect{0, 0, 50, 50});
        ASSERT_TRUE(screens.Render(surface, presenter));
    }
    EXPECT_EQ(0x4A4A4A4Au, Argb(surface, 10, 10)) << "premultiplied white at alpha 74, as after one frame";
    EXPECT_EQ(0x4A4A4A4Au, Argb(surface, 150, 100));
}

TEST_F(ScreenManagerTest, AFrameDrawsOnlyTheObjectsMeetingTheDirtyRegion)
{
    TestPanel left;
    TestPanel right;
    left.SetPosition(0, 0);
    left.SetSize(100, 120);
    right.SetPosition(100, 0);
    right.SetSize(100, 120);
    right.color = GdiplusGfxLayer::Color(255, 0, 255, 0);
    base.AddChild(&left, false);
    base.AddChild(&right, false);
    screens.InvalidateAll();
    ASSERT_TRUE(screens.Render(surface, presenter));
    EXPECT_EQ(1, left.draws);
    EXPECT_EQ(1, right.draws);

    screens.InvalidateRect(Rect{10, 10, 20, 20});
    ASSERT_TRUE(screens.Render(surface, presenter));
    EXPECT_EQ(2, left.draws);
    EXPECT_EQ(1, right.draws) << "the right half lies outside the dirty region";
    EXPECT_EQ(0x00FF00u, Pixel(surface, 150, 60)) << "and keeps its last frame";

    screens.InvalidateRect(Rect{99, 50, 2, 2});
    ASSERT_TRUE(screens.Render(surface, presenter));
    EXPECT_EQ(3, left.draws);
    EXPECT_EQ(2, right.draws);
    base.RemoveChild(&left, false);
    base.RemoveChild(&right, false);
}

TEST_F(ScreenManagerTest, AScreenIsTheObjectOfItsNameInItsFileUnknownNamesLeaveTheBaseRoot)
{
    screens.ActivateScreen("A", true);
    screens.ActivateScreen("Nowhere", true);
    EXPECT_EQ("<none>", Active());
    EXPECT_EQ(&base, screens.GetActiveRoot());
    screens.ActivateScreen("A", false);
    screens.ActivateScreen("", true);
    EXPECT_EQ(&base, screens.GetActiveRoot());
    EXPECT_EQ(Names({"A", "Nowhere", ""}), screens.GetBackStack());

    screens.AddScreen("L", false, "Left", Data("TwoScreens.xml"));
    screens.AddScreen("I", false, "Inner", Data("TwoScreens.xml"));
    screens.AddScreen("Missing", false, "Nobody", Data("TwoScreens.xml"));
    screens.AddScreen("NoFile", false, "Left", Data("NoSuchFile.xml"));
    screens.ActivateScreen("L", false);
    ASSERT_NE(nullptr, Root("L"));
    EXPECT_EQ("Left", Root("L")->GetName());
    screens.ActivateScreen("I", false);
    ASSERT_NE(nullptr, Root("I"));
    EXPECT_EQ(200, Root("I")->GetWidth()) << "the screen, not the other screen's child of that name";

    Platform::LogCapture log;
    screens.ActivateScreen("Missing", false);
    EXPECT_EQ(nullptr, screens.GetActiveRoot()) << "a screen without a root leaves no target";
    EXPECT_TRUE(log.Contains("finds no object \"Nobody\""));
    screens.ActivateScreen("NoFile", false);
    EXPECT_EQ(nullptr, Root("NoFile"));
    EXPECT_TRUE(log.Contains("NoSuchFile.xml"));
}

TEST_F(ScreenManagerTest, RegisteringAScreenAgainReplacesItsTreeOnTheNextTick)
{
    screens.ActivateScreen("B", false);
    screens.ActivateScreen("A", false);
    std::weak_ptr<void> old = Root("B")->Watch();
    screens.AddScreen("B", false, "Left", Data("TwoScreens.xml"));
    EXPECT_EQ(nullptr, Root("B"));
    EXPECT_FALSE(old.expired());
    screens.Timer();
    EXPECT_TRUE(old.expired());
    screens.ActivateScreen("B", false);
    ASSERT_NE(nullptr, Root("B"));
    EXPECT_EQ("Left", Root("B")->GetName());

    screens.AddScreen("B", true, "PageB", Data("ScreenB.xml"));
    EXPECT_EQ("Left", Root("B")->GetName()) << "the active screen keeps its tree";
    screens.ActivateScreen("A", false);
    screens.Timer();
    EXPECT_EQ(nullptr, Root("B")) << "and is now left for good";
}

TEST_F(ScreenManagerTest, AScreenRootNamedLikeAnObjectOfTheWindowLeavesThatObjectAlone)
{
    // The window built an object under the name screen A's root carries; a
    // click on it shows screen A.
    TiXmlDocument document("window.xml");
    auto* element = new TiXmlElement("TestPanel");
    element->SetAttribute("Width", 50);
    element->SetAttribute("Height", 50);
    document.LinkEndChild(element);
    auto& factory = DllGlobalObjectFactoryInstance();
    Vabo::GuiObject* button = factory.CreateAndRegister("TestPanel", "PageA", &base, element);
    ASSERT_NE(nullptr, button);
    base.AddChild(button, false);
    std::weak_ptr<void> buttonAlive = button->Watch();
    button->Connect(
        Vabo::Signal::TypeIdOf<Vabo::Signal::Activate>(), nullptr,
        [this](Vabo::Signal::Base*, Vabo::GuiObject*) { screens.ActivateScreen("A", true); }, base.Watch());

    screens.LeftButtonDown(Point{10, 10});
    screens.LeftButtonUp(Point{10, 10});
    screens.Timer();
    ASSERT_EQ("A", Active());
    EXPECT_NE(button, Root("A"));
    EXPECT_FALSE(buttonAlive.expired()) << "the window's object is not the screen's to replace";
    EXPECT_EQ(button, factory.FindObject(&base, "PageA")) << "and keeps its name";
    EXPECT_EQ(1u, base.GetChildren().size());

    base.RemoveChild(button, false);
    factory.ReleaseObject(&base, button);
}

TEST_F(ScreenManagerTest, VisitingADestroyOnDeactivateScreenLeavesNoDocumentsBehind)
{
    const auto visit = [this] {
        screens.ActivateScreen("T", true);
        screens.ActivateScreen("A", true);
        screens.Timer();
    };
    visit();
    const std::size_t documents = DllDocMapInstance().GetDocuments().size();
    for (int i = 0; i < 1000; ++i)
        visit();
    EXPECT_EQ(documents, DllDocMapInstance().GetDocuments().size());
}

TEST_F(ScreenManagerTest, TheRouterAsksForAFrameOnlyWhenAHandlerMadeSomethingDirty)
{
    base.Connect(
        Vabo::Signal::TypeIdOf<Vabo::Signal::RightButtonUp>(), nullptr,
        [this](Vabo::Signal::Base*, Vabo::GuiObject*) { base.Invalidate(); }, base.Watch());
    Frame();
    EXPECT_FALSE(router.Route(At(Kind::RightButtonDown, 5, 5), true));
    EXPECT_TRUE(router.Route(At(Kind::RightButtonUp, 5, 5), true));
    Frame();
    EXPECT_TRUE(router.Route(At(Kind::MouseMove, 6, 6), true)) << "the pointer selects the root, which shows it";
    Frame();
    EXPECT_FALSE(router.Route(At(Kind::MouseMove, 7, 7), true)) << "still over the same object: nothing to draw";
    EXPECT_FALSE(router.Route(At(Kind::FocusLost, 0, 0), false)) << "focus changes never draw by themselves";
    EXPECT_TRUE(router.Route(At(Kind::Exposed, 0, 0), true)) << "a lost window surface always needs a frame";
}

TEST_F(ScreenManagerTest, TheClickThatFocusesTheWindowStillClicksAndAPressFromBeforeTheFocusWasLostDoesNot)
{
    int clicks = 0;
    base.Connect(
        Vabo::Signal::TypeIdOf<Vabo::Signal::MouseClick>(), nullptr,
        [&clicks](Vabo::Signal::Base*, Vabo::GuiObject*) { ++clicks; }, base.Watch());
    // The focus comes between the press and the release of the click that asked for it.
    router.Route(At(Kind::FocusLost, 0, 0), false);
    router.Route(At(Kind::LeftButtonDown, 5, 5), false);
    router.Route(At(Kind::FocusGained, 0, 0), true);
    router.Route(At(Kind::LeftButtonUp, 5, 5), true);
    EXPECT_EQ(1, clicks);

    // Pressed, focus lost and found again: the press is over.
    router.Route(At(Kind::LeftButtonDown, 5, 5), true);
    router.Route(At(Kind::FocusLost, 0, 0), false);
    router.Route(At(Kind::FocusGained, 0, 0), true);
    router.Route(At(Kind::LeftButtonUp, 5, 5), true);
    EXPECT_EQ(1, clicks);
}

// The host hands the second press of a quick pair over as a double click:
// the tree takes it as the press it stands for, held until its release.
TEST_F(ScreenManagerTest, TheSecondPressOfADoubleClickClicksAsAnyPressDoes)
{
    int clicks = 0;
    base.Connect(
        Vabo::Signal::TypeIdOf<Vabo::Signal::MouseClick>(), nullptr,
        [&clicks](Vabo::Signal::Base*, Vabo::GuiObject*) { ++clicks; }, base.Watch());
    const struct {
        const char* how;
        std::vector<HostInput> after;
        int clicks;
    } rows[] = {
        {"released on the control", {At(Kind::LeftButtonUp, 5, 5)}, 2},
        {"released beside it", {At(Kind::LeftButtonUp, 250, 5)}, 1},
        {"held while the window takes the focus",
         {At(Kind::FocusGained, 0, 0), At(Kind::LeftButtonUp, 5, 5)},
         2},
        {"held while the focus goes and comes back",
         {At(Kind::FocusLost, 0, 0), At(Kind::FocusGained, 0, 0), At(Kind::LeftButtonUp, 5, 5)},
         1},
    };
    for (const auto& row : rows) {
        clicks = 0;
        router.Route(At(Kind::LeftButtonDown, 5, 5), true);
        router.Route(At(Kind::LeftButtonUp, 5, 5), true);
        router.Route(At(Kind::LeftButtonDblClk, 5, 5), true);
        EXPECT_TRUE(screens.IsLeftButtonHeld()) << row.how;
        for (const HostInput& input : row.after)
            router.Route(input, input.kind != Kind::FocusLost);
        EXPECT_EQ(row.clicks, clicks) << row.how;
        EXPECT_FALSE(screens.IsLeftButtonHeld()) << row.how;
    }
}

TEST_F(ScreenManagerTest, TheRouterTurnsEveryInputIntoItsSignalOnce)
{
    RecordEveryInput();
    Vabo::ScreenManagerInterface& seenByTheTree = screens;
    // A motion to the same point is not passed on.
    router.Route(At(Kind::MouseMove, 10, 20), true);
    router.Route(At(Kind::LeftButtonDown, 1, 2), true);
    EXPECT_TRUE(seenByTheTree.IsLeftButtonHeld());
    router.Route(At(Kind::LeftButtonUp, 1, 2), true);
    EXPECT_FALSE(seenByTheTree.IsLeftButtonHeld());
    RouteEveryInput();

    EXPECT_EQ(Names({"MouseMove@10,20", "LeftButtonDown@1,2", "LeftButtonUp@1,2", "LeftButtonDblClk@3,4",
                     "GuiBuilderActivate", "RightButtonDblClk@5,6", "MouseWheel@12,34(-120)", "DropFile@7,8",
                     "WindowSized", "WindowActivated", "HostWindowMoved", "KeyPress(22)"}),
              base.received);
}

TEST_F(ScreenManagerTest, WhileTheGuiBuilderEditsOnlyTheFocusObjectGetsInputAndClosedScreensStillGo)
{
    struct BuilderMode {
        BuilderMode() { DllGlobalObjectFactoryInstance().SetGuiBuilderMode(true); }
        ~BuilderMode() { DllGlobalObjectFactoryInstance().SetGuiBuilderMode(false); }
    };
    screens.ActivateScreen("T", false);
    std::weak_ptr<void> transient = Root("T")->Watch();
    screens.ActivateScreen("", false);
    RecordEveryInput();
    base.Record<Vabo::Signal::Hide>();
    const std::uint32_t f12 = 0x8000007B;
    screens.AddKeyBinding(Vabo::Signal::KeyPress(f12), std::make_shared<Vabo::Signal::Hide>());
    BuilderMode editing;
    router.Route(At(Kind::MouseMove, 10, 20), true);
    router.Route(At(Kind::LeftButtonDown, 1, 2), true);
    router.Route(At(Kind::LeftButtonUp, 1, 2), true);
    RouteEveryInput();
    screens.KeyPress(f12);
    EXPECT_EQ(Names({"KeyPress(22)", "KeyPress(2147483771)"}), base.received) << "no binding fires either";

    screens.Timer();
    EXPECT_TRUE(transient.expired());
    screens.InvalidateAll();
    EXPECT_TRUE(screens.MouseWheel(Point{1, 1}, 120)) << "the dirty flag is still reported";
}
