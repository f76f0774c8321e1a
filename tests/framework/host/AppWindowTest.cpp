// An application window from a test skin on the rig's display: it opens
// centred with the outline of its picture, follows the real pointer when its
// "Move" grip is dragged, and resizes by its "Resize" grip down to its minimum.
#include "framework/host/AppWindow.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>

#include "WindowTestSupport.h"
#include "framework/core/RoundToInt.h"
#include "framework/core/HostInputSignals.h"
#include "framework/core/SkinLimits.h"
#include "framework/host/VaboWnd.h"
#include "platform/Display.h"
#include "platform/WindowShape.h"

using WindowTest::Hex;
using WindowTest::Pump;
using WindowTest::ScreenPixel;
using WindowTest::ScreenRect;

namespace {

// Colours of the picture (see scripts/draw-test-pictures.py).
constexpr std::uint32_t kTitleBar = 0x1E3278;
constexpr std::uint32_t kBody = 0xE1E6F0;
constexpr std::uint32_t kGrip = 0xF08C14;

class AppWindowTest : public WindowTest::Fixture {
protected:
    // The window of the test skin, centred and shown; preserveAspect and the
    // resize grip as given.
    void Open(bool preserveAspect, const char* resizeGrip = "Resize")
    {
        element_ = skin_.LoadXML("AppWindowTest.xml");
        ASSERT_NE(element_, nullptr);
        element_->SetAttribute("PreserveAspect", preserveAspect ? "true" : "false");
        element_->SetAttribute("Resize", resizeGrip);
        window_ = std::make_unique<Vabo::AppWindow>(element_);
        ASSERT_NE(window_->GetHostWnd(), nullptr);
        window_->CenterWindow();
        window_->SetVisible(true);
        Pump(200);
    }

    // Drags the real pointer with the left button held from one point to another
    // (window coordinates at the start), letting the program see each step.
    void Drag(int fromX, int fromY, int dx, int dy)
    {
        const Platform::Rect start = ScreenRect(*window_);
        WindowTest::PointerTo(start.x + fromX, start.y + fromY);
        Pump(50);
        WindowTest::PointerDown();
        Pump(100);
        WindowTest::PointerTo(start.x + fromX + dx / 2, start.y + fromY + dy / 2);
        Pump(100);
        WindowTest::PointerTo(start.x + fromX + dx, start.y + fromY + dy);
        Pump(150);
    }

    // Under load the pointer's travel reaches the program late: waits for the
    // state a test expects (and a little longer, so that a step too far would
    // still show) instead of a fixed time.
    template <class Condition> void Settle(Condition reached)
    {
        WindowTest::PumpUntil(reached, 3000);
        Pump(100);
    }

    void Release()
    {
        WindowTest::PointerUp();
        Pump(100);
    }

    TiXmlElement* element_ = nullptr;
    std::unique_ptr<Vabo::AppWindow> window_;
};

} // namespace

TEST_F(AppWindowTest, OpensCentredWithThePicturesOutline)
{
    Open(true);
    const Platform::Rect placed = ScreenRect(*window_);
    const Platform::Rect work = Platform::WorkAreaOf(window_->GetHostWnd()->GetNativeWindow()->Handle());
    EXPECT_EQ(placed, (Platform::Rect{work.x + (work.width - 240) / 2, work.y + (work.height - 160) / 2, 240, 160}));
    EXPECT_EQ(window_->GetX(), placed.x);
    EXPECT_EQ(window_->GetY(), placed.y);

    std::vector<Platform::Rect> outline;
    ASSERT_TRUE(Platform::GetWindowShape(window_->GetHostWnd()->GetNativeWindow()->Handle(), outline));
    int area = 0;
    bool cornerInside = false;
    for (const auto& r : outline) {
        area += r.width * r.height;
        if (r.x <= 0 && r.y <= 0 && r.x + r.width > 0 && r.y + r.height > 0)
            cornerInside = true;
    }
    EXPECT_FALSE(cornerInside) << "the transparent corner is cut away";
    EXPECT_LT(area, 240 * 160);
    EXPECT_GT(area, 240 * 160 - 4 * 24 * 24);

    EXPECT_EQ(Hex(kTitleBar), Hex(ScreenPixel(placed.x + 120, placed.y + 10)));
    EXPECT_EQ(Hex(kBody), Hex(ScreenPixel(placed.x + 120, placed.y + 80)));
    EXPECT_EQ(Hex(kGrip), Hex(ScreenPixel(placed.x + 220, placed.y + 140)));
    EXPECT_NE(Hex(kTitleBar), Hex(ScreenPixel(placed.x + 1, placed.y + 1)))
        << "the desktop shows through the cut-away corner";
}

TEST_F(AppWindowTest, MovesByExactlyThePointersTravel)
{
    Open(true);
    const Platform::Rect before = ScreenRect(*window_);
    Drag(100, 10, 37, -23);
    Settle([&] { return ScreenRect(*window_).x == before.x + 37; });
    const Platform::Rect during = ScreenRect(*window_);
    Release();
    const Platform::Rect after = ScreenRect(*window_);
    EXPECT_EQ(during.x, before.x + 37);
    EXPECT_EQ(during.y, before.y - 23);
    EXPECT_EQ(after, (Platform::Rect{before.x + 37, before.y - 23, 240, 160}));
    EXPECT_EQ(window_->GetX(), after.x);
    EXPECT_EQ(window_->GetY(), after.y);

    // A press outside the grip drags nothing.
    Drag(100, 80, 30, 30);
    Release();
    EXPECT_EQ(ScreenRect(*window_).x, after.x);
}

TEST_F(AppWindowTest, ADragOfManySmallStepsMovesTheWholeWay)
{
    // Each step moves the window with the pointer, so the pointer comes back
    // to the same point of the window: those moves still count.
    Open(true);
    const Platform::Rect before = ScreenRect(*window_);
    WindowTest::PointerTo(before.x + 100, before.y + 10);
    Pump(50);
    WindowTest::PointerDown();
    Pump(50);
    for (int step = 1; step <= 20; ++step) {
        WindowTest::PointerTo(before.x + 100 + 3 * step, before.y + 10);
        Pump(20);
    }
    Settle([&] { return ScreenRect(*window_).x == before.x + 60; });
    Release();
    EXPECT_EQ(ScreenRect(*window_), (Platform::Rect{before.x + 60, before.y, 240, 160}));
    EXPECT_EQ(window_->GetX(), before.x + 60);
}

TEST_F(AppWindowTest, ResizesKeepingTheAspectDownToItsMinimumAndNoFurther)
{
    Open(true);
    // The corner follows the pointer's travel from the point of the grip that
    // was pressed; the first press fixes the minimum (half the size) and the aspect.
    Drag(220, 140, 0, -40);
    Settle([&] { return window_->GetHeight() == 120; });
    EXPECT_EQ(window_->GetMinimumWidth(), 120);
    EXPECT_EQ(window_->GetMinimumHeight(), 80);
    EXPECT_EQ((Platform::Rect{0, 0, window_->GetWidth(), window_->GetHeight()}), (Platform::Rect{0, 0, 180, 120}));
    EXPECT_EQ(ScreenRect(*window_).height, 120);
    EXPECT_EQ(ScreenRect(*window_).width, 180);

    WindowTest::PointerTo(ScreenRect(*window_).x + 100, ScreenRect(*window_).y + 30);
    Settle([&] { return window_->GetHeight() == 80; });
    EXPECT_EQ(window_->GetWidth(), 120);
    WindowTest::PointerTo(ScreenRect(*window_).x + 50, ScreenRect(*window_).y - 60);
    Pump(150);
    Release();
    EXPECT_EQ(ScreenRect(*window_).width, 120);
    EXPECT_EQ(ScreenRect(*window_).height, 80);
}

TEST_F(AppWindowTest, TheAspectAndTheMinimumAreTakenAtTheFirstPressAndKept)
{
    Open(true);
    SDL_Window* native = window_->GetHostWnd()->GetNativeWindow()->Handle();
    EXPECT_EQ(WindowTest::MinimumSizeHint(native), (Platform::Rect{0, 0, 120, 80}))
        << "the window manager knows the skin's minimum from the start";
    EXPECT_EQ(window_->GetAspect(), 0.0f) << "no press yet";

    struct Press {
        int width, height; // the window's size at the press (as a window manager left it)
        float aspect;
        int minWidth, minHeight;
    };
    const Press presses[] = {{300, 150, 0.5f, 150, 75}, {240, 160, 0.5f, 150, 75}};
    for (const Press& p : presses) {
        window_->SetSize(p.width, p.height);
        // On the body, away from both grips.
        Vabo::Signal::LeftButtonDown press(100, 60);
        window_->DragStartSlot(&press, window_.get());
        Vabo::Signal::LeftButtonUp release(100, 60);
        window_->DragEndSlot(&release, window_.get());
        const std::string at = std::to_string(p.width) + " x " + std::to_string(p.height);
        EXPECT_EQ(window_->GetAspect(), p.aspect) << at;
        EXPECT_EQ(window_->GetMinimumWidth(), p.minWidth) << at;
        EXPECT_EQ(window_->GetMinimumHeight(), p.minHeight) << at;
        EXPECT_EQ(WindowTest::MinimumSizeHint(native), (Platform::Rect{0, 0, p.minWidth, p.minHeight})) << at;
    }
}

TEST_F(AppWindowTest, AMoveByTheWindowManagerIsWhereTheNextDragStarts)
{
    Open(true);
    const Platform::Rect before = ScreenRect(*window_);
    SDL_Window* native = window_->GetHostWnd()->GetNativeWindow()->Handle();
    ASSERT_TRUE(WindowTest::MoveAsAnotherClient(native, before.x + 50, before.y + 40));
    ASSERT_TRUE(WindowTest::PumpUntil([&] { return window_->GetX() == before.x + 50; }));
    EXPECT_EQ(window_->GetY(), before.y + 40);

    Drag(100, 10, 37, -23);
    Settle([&] { return ScreenRect(*window_).x == before.x + 87; });
    Release();
    EXPECT_EQ(ScreenRect(*window_), (Platform::Rect{before.x + 87, before.y + 17, 240, 160}));

    // The grip grows the window by the pointer's travel, wherever it was moved.
    ASSERT_TRUE(WindowTest::MoveAsAnotherClient(native, before.x - 30, before.y - 20));
    ASSERT_TRUE(WindowTest::PumpUntil([&] { return window_->GetX() == before.x - 30; }));
    Drag(220, 140, 0, 30);
    Settle([&] { return window_->GetHeight() == 190; });
    Release();
    EXPECT_EQ(ScreenRect(*window_), (Platform::Rect{before.x - 30, before.y - 20, 285, 190}));
}

TEST_F(AppWindowTest, FreeResizingFollowsThePointerButKeepsAPixel)
{
    Open(false);
    Drag(220, 140, 30, 20);
    Settle([&] { return window_->GetWidth() == 270; });
    EXPECT_EQ(window_->GetWidth(), 270);
    EXPECT_EQ(window_->GetHeight(), 180);
    WindowTest::PointerTo(ScreenRect(*window_).x - 100, ScreenRect(*window_).y - 100);
    Settle([&] { return window_->GetWidth() == 1 && ScreenRect(*window_).width == 1; });
    Release();
    EXPECT_EQ(window_->GetWidth(), 1);
    EXPECT_EQ(window_->GetHeight(), 1);
    EXPECT_EQ(ScreenRect(*window_).width, 1);
}

TEST_F(AppWindowTest, AnAspectPressOnTheTopEdgeKeepsTheSize)
{
    // With the title bar as resize grip, a press can fall on row 0, where the
    // pressed height gives no ratio to keep.
    Open(true, "Move");
    Vabo::Signal::LeftButtonDown press(100, 0);
    window_->DragStartSlot(&press, window_.get());
    EXPECT_EQ(window_->GetWidth(), 240);
    EXPECT_EQ(window_->GetHeight(), 160);
    Vabo::Signal::LeftButtonUp release(100, 0);
    window_->DragEndSlot(&release, window_.get());
}

TEST_F(AppWindowTest, AMinimumFactorBeyondItsRangeIsKeptWithinIt)
{
    element_ = skin_.LoadXML("AppWindowTest.xml");
    ASSERT_NE(element_, nullptr);
    element_->SetAttribute("ResizeMinFactor", "1e30");
    element_->SetAttribute("PreserveAspect", "false");
    window_ = std::make_unique<Vabo::AppWindow>(element_);
    Vabo::Signal::LeftButtonDown press(220, 140);
    window_->DragStartSlot(&press, window_.get());
    EXPECT_EQ(window_->GetMinimumWidth(), 240 * static_cast<int>(Vabo::kMaxSkinFactor));
    Vabo::Signal::LeftButtonUp release(220, 140);
    window_->DragEndSlot(&release, window_.get());
}
