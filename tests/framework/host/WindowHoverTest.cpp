// Tooltip timing of an application window, on a hand-driven clock: a pointer
// resting just over a second shows the tooltip of the object under it, which
// hides after five seconds, when the pointer leaves the object, on a press,
// when the window is minimised, or when a box opens over the window.
#include "framework/host/Window.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <vector>

#include "WindowTestSupport.h"
#include "framework/host/MessageBoxA.h"
#include "framework/host/VaboWnd.h"
#include "platform/EventLoop.h"
#include "framework/core/InputSignals.h"
#include "framework/core/HostInputSignals.h"
#include "platform/Clock.h"
#include "platform/NativeWindow.h"
#include "platform/TickRequest.h"
#include "support/MinimisedMark.h"

namespace {

// Records what the window asks of its tooltip instead of opening one.
class TipHolder : public Vabo::GuiObject {
public:
    TipHolder()
        : GuiObject(1, 0)
    {
    }
    bool ShowToolTip(bool show, const Vabo::Point*) override
    {
        asked.push_back(show);
        return show;
    }
    std::vector<bool> asked;
};

class WindowHoverTest : public WindowTest::Fixture {
protected:
    void SetUp() override
    {
        WindowTest::Fixture::SetUp();
        window_ = std::make_unique<Vabo::Window>(skin_.LoadXML("OwnerWindow.xml"));
        holder_.SetPosition(10, 10);
        holder_.SetSize(50, 50);
        window_->AddChild(&holder_, false);
        window_->SetVisible(true);
        const Platform::Rect r = WindowTest::ScreenRect(*window_);
        WindowTest::PointerTo(r.x + 20, r.y + 20);
        // The window learns where the pointer is from its own events.
        for (int pass = 0; pass < 200 && !PointerAt(20, 20); ++pass)
            Platform::EventLoop::Instance().RunOnce(20);
        ASSERT_TRUE(PointerAt(20, 20));
        Move(20, 20);
    }
    bool PointerAt(int x, int y) const
    {
        int px = 0, py = 0;
        return window_->GetHostWnd()->PointerInWindow(px, py) && px == x && py == y;
    }
    void TearDown() override { window_->RemoveChild(&holder_, false); }

    void Move(int x, int y)
    {
        Vabo::Signal::MouseMove move(x, y);
        window_->Raise(&move);
    }
    void Tick(Platform::Milliseconds ms)
    {
        clock_.Advance(ms);
        Vabo::Signal::Timer tick(clock_.Now());
        window_->Raise(&tick);
    }

    Platform::ManualClock clock_{1000};
    std::unique_ptr<Vabo::Window> window_;
    TipHolder holder_;
};

using Asked = std::vector<bool>;

} // namespace

TEST_F(WindowHoverTest, ShowsAfterASecondAndHidesAfterFive)
{
    Tick(900);
    EXPECT_TRUE(holder_.asked.empty());
    Tick(200);
    EXPECT_EQ(holder_.asked, (Asked{true}));
    Tick(3000);
    EXPECT_EQ(holder_.asked, (Asked{true}));
    Tick(2100);
    EXPECT_EQ(holder_.asked, (Asked{true, false}));
}

TEST_F(WindowHoverTest, APressOrLeavingTheObjectHidesTheTooltipAndAPressRestartsTheTiming)
{
    Tick(1100);
    ASSERT_EQ(holder_.asked, (Asked{true}));
    Vabo::Signal::LeftButtonDown press(20, 20);
    window_->Raise(&press);
    EXPECT_EQ(holder_.asked, (Asked{true, false}));
    Tick(900);
    EXPECT_EQ(holder_.asked.size(), 2u) << "the second has to be waited for again";
    Tick(200);
    EXPECT_EQ(holder_.asked, (Asked{true, false, true}));
    Move(200, 150);
    EXPECT_EQ(holder_.asked, (Asked{true, false, true, false})) << "leaving the object hides its tooltip at once";
}

TEST_F(WindowHoverTest, MinimisedTheTooltipGoesAndThePointerIsWatchedAgainOnlyOnceTheWindowIsBack)
{
    Tick(1100);
    ASSERT_EQ(holder_.asked, (Asked{true}));
    struct Step {
        const char* what;
        bool minimised;
        Asked asked;
        bool tickAsked;
    };
    const Step steps[] = {
        {"minimised: the tooltip goes and the clock may sleep", true, {true, false}, false},
        {"still minimised", true, {true, false}, false},
        {"back: the resting pointer is watched again", false, {true, false}, true},
    };
    for (const Step& step : steps) {
        if (window_->IsMinimized() != step.minimised) {
            ASSERT_TRUE(TestSupport::MarkMinimised(window_->GetHostWnd()->GetNativeWindow()->Handle(), step.minimised));
        }
        Platform::TakeRequestedTick();
        Tick(100);
        EXPECT_EQ(step.asked, holder_.asked) << step.what;
        EXPECT_EQ(step.tickAsked, Platform::TakeRequestedTick() != Platform::kNoTick) << step.what;
    }
}

// A box over the window holds the window's input: the tip shown goes as the
// box opens, none shows however long the pointer rests while it is up, and
// the timing starts again once it is closed.
TEST_F(WindowHoverTest, ABoxOverTheWindowTakesItsTooltipAwayUntilItCloses)
{
    Tick(1100);
    ASSERT_EQ(holder_.asked, (Asked{true}));
    Vabo::MessageBoxA box(skin_.LoadXML("MessageBoxTest.xml"));
    box.SetUp("Sound output was lost.", "OK");
    Asked opened, rested;
    Vabo::VaboWnd::PostCall([&] {
        opened = holder_.asked;
        Tick(1100);
        Tick(1100);
        rested = holder_.asked;
        box.Close();
    });
    box.DoModal(window_.get());
    EXPECT_EQ(opened, (Asked{true, false})) << "as the box opened";
    EXPECT_EQ(rested, (Asked{true, false})) << "while it was up";
    Move(20, 20);
    Tick(1100);
    EXPECT_EQ(holder_.asked, (Asked{true, false, true})) << "after it closed";
}
