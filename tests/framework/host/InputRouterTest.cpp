// Host inputs reach the screen manager as signals, and a frame is asked for
// only when a handler made something dirty.
#include "framework/host/InputRouter.h"

#include <gtest/gtest.h>

#include "TestPanel.h"
#include "framework/host/GdiplusGfxLayer/WindowSurface.h"
#include "framework/host/HostInputSignals.h"
#include "framework/host/ScreenManager.h"

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

struct NullPresenter : Vabo::FramePresenter {
    void GetClientSize(int& width, int& height) const override
    {
        width = 100;
        height = 100;
    }
    void Present(GdiplusGfxLayer::WindowSurface&, const GdiplusGfxLayer::Region&) override {}
};

class InputRouterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root.SetName("root");
        root.SetSize(100, 100);
        root.SetTopLevel(true);
        root.SetScreenManager(&screens);
        screens.SetBaseRoot(&root);
    }

    // Draws what is dirty, so the next input starts clean.
    void Frame() { screens.Render(surface, presenter); }

    Vabo::ScreenManager screens;
    Vabo::InputRouter router{screens};
    TestPanel root;
    GdiplusGfxLayer::WindowSurface surface{100, 100};
    NullPresenter presenter;
};

using Names = std::vector<std::string>;

} // namespace

TEST_F(InputRouterTest, AFrameOnlyWhenAHandlerMadeSomethingDirty)
{
    root.Connect(Vabo::Signal::TypeIdOf<Vabo::Signal::RightButtonUp>(), nullptr,
                 [this](Vabo::Signal::Base*, Vabo::GuiObject*) { root.Invalidate(); }, root.Watch());
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

TEST_F(InputRouterTest, EveryInputBecomesItsSignalOnce)
{
    root.Record<Vabo::Signal::MouseMove>();
    root.Record<Vabo::Signal::LeftButtonDown>();
    root.Record<Vabo::Signal::LeftButtonUp>();
    root.Record<Vabo::Signal::LeftButtonDblClk>();
    root.Record<Vabo::Signal::RightButtonDblClk>();
    root.Record<Vabo::Signal::GuiBuilderActivate>();
    root.Record<Vabo::Signal::MouseWheel>();
    root.Record<Vabo::Signal::DropFile>();
    root.Record<Vabo::Signal::WindowSized>();
    root.Record<Vabo::Signal::WindowActivated>();
    root.Record<Vabo::Signal::HostWindowMoved>();
    root.Record<Vabo::Signal::KeyPress>();

    Vabo::ScreenManagerInterface& seenByTheTree = screens;
    // A motion to the same point is not passed on.
    router.Route(At(Kind::MouseMove, 10, 20), true);
    router.Route(At(Kind::MouseMove, 10, 20), true);
    router.Route(At(Kind::LeftButtonDown, 1, 2), true);
    EXPECT_TRUE(seenByTheTree.IsLeftButtonHeld());
    router.Route(At(Kind::LeftButtonUp, 1, 2), true);
    EXPECT_FALSE(seenByTheTree.IsLeftButtonHeld());
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
    screens.SetFocusObject(&root);
    HostInput key = At(Kind::KeyPress, 0, 0);
    key.keyCode = 22;
    router.Route(key, true);

    EXPECT_EQ(Names({"MouseMove@10,20", "LeftButtonDown@1,2", "LeftButtonUp@1,2", "LeftButtonDblClk@3,4", "GuiBuilderActivate",
                     "RightButtonDblClk@5,6", "MouseWheel@12,34(-120)", "DropFile@7,8", "WindowSized",
                     "WindowActivated", "HostWindowMoved", "KeyPress(22)"}),
              root.received);
}
