// Child windows on the rig's display: a "Child" window lies inside the host
// window of the application window that owns its document, in that window's
// client area, moving with it and drawn over it; hidden, it shows its owner
// again; it takes clicks only while its owner takes input, and the keys stay
// with the owner; it outlives its owner's window without taking the program down.
#include "framework/host/Window.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <vector>

#include "WindowTestSupport.h"
#include "framework/core/InputSignals.h"
#include "framework/host/VaboWnd.h"
#include "platform/HostInput.h"

using WindowTest::Hex;
using WindowTest::PumpUntil;
using WindowTest::ScreenPixel;
using WindowTest::ScreenRect;

namespace {

// The inside of the button picture; the stripes are red and green (blended
// where two bands meet), with little blue.
constexpr std::uint32_t kFace = 0x466EC8;
bool IsStripe(std::uint32_t rgb)
{
    const std::uint32_t red = rgb >> 16, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
    return blue < 0x40 && red + green > 0xC0;
}

class ChildWindowTest : public WindowTest::Fixture {
protected:
    void SetUp() override
    {
        Fixture::SetUp();
        root_ = skin_.LoadXML("OwnedWindows.xml");
        ASSERT_NE(root_, nullptr);
        owner_ = std::make_unique<Vabo::Window>(root_);
        owner_->SetVisible(true);
        child_ = std::make_unique<Vabo::Window>(root_->FirstChildElement("Child"));
        ASSERT_NE(child_->GetHostWnd(), nullptr);
    }

    // The screen point at (x, y) of the child.
    std::uint32_t ChildPixel(int x, int y) const
    {
        const Platform::Rect at = ScreenRect(*child_);
        return ScreenPixel(at.x + x, at.y + y);
    }

    TiXmlElement* root_ = nullptr;
    std::unique_ptr<Vabo::Window> owner_;
    std::unique_ptr<Vabo::Window> child_;
};

} // namespace

TEST_F(ChildWindowTest, LiesInItsOwnersClientAreaAndMovesWithIt)
{
    EXPECT_TRUE(child_->IsTopLevel());
    EXPECT_EQ(child_->GetHostWnd()->GetParent(), owner_->GetHostWnd());
    EXPECT_EQ(child_->GetHostWnd()->GetNativeWindow()->GetKind(), Platform::NativeWindow::Kind::Child);
    EXPECT_TRUE(child_->IsVisible());

    struct Step {
        const char* what;
        int ownerDx, ownerDy; // the owner moves by this
        int x, y; // the child's place in the owner
    };
    const Step steps[] = {
        {"as loaded", 0, 0, 30, 40},
        {"the owner moved", 50, 30, 30, 40},
        {"the child moved", 0, 0, 10, 20},
    };
    for (const Step& step : steps) {
        owner_->SetPosition(owner_->GetX() + step.ownerDx, owner_->GetY() + step.ownerDy);
        child_->SetPosition(step.x, step.y);
        const Platform::Rect owner = ScreenRect(*owner_);
        const Platform::Rect expected{owner.x + step.x, owner.y + step.y, 120, 80};
        EXPECT_TRUE(PumpUntil([&] { return ScreenRect(*child_) == expected; })) << step.what;
        EXPECT_EQ(child_->GetX(), step.x) << step.what;
        EXPECT_TRUE(PumpUntil([&] { return ChildPixel(60, 40) == kFace; }))
            << step.what << ": " << Hex(ChildPixel(60, 40));
        EXPECT_TRUE(IsStripe(ScreenPixel(expected.x - 5, expected.y + 40)))
            << step.what << ": the owner beside it, " << Hex(ScreenPixel(expected.x - 5, expected.y + 40));
    }
}

TEST_F(ChildWindowTest, TakesClicksWhileItsOwnerDoesAndHiddenShowsItsOwner)
{
    std::vector<Vabo::Point> presses;
    child_->Connect(
        Vabo::Signal::TypeIdOf<Vabo::Signal::LeftButtonDown>(), nullptr,
        [&](Vabo::Signal::Base* signal, Vabo::GuiObject*) {
            auto* press = static_cast<Vabo::Signal::Positional*>(signal);
            presses.push_back(Vabo::Point{press->x, press->y});
        },
        child_->Watch());
    ASSERT_TRUE(PumpUntil([&] { return ChildPixel(60, 40) == kFace; }));
    const Platform::Rect at = ScreenRect(*child_);

    WindowTest::PointerTo(at.x + 11, at.y + 13);
    WindowTest::PointerDown();
    WindowTest::PointerUp();
    ASSERT_TRUE(PumpUntil([&] { return !presses.empty(); }));
    EXPECT_EQ(presses.front().x, 11) << "in the child's own coordinates";
    EXPECT_EQ(presses.front().y, 13);
    EXPECT_TRUE(PumpUntil([&] { return owner_->GetHostWnd()->HasFocus(); })) << "the keys stay with the owner";
    EXPECT_FALSE(child_->GetHostWnd()->HasFocus());

    // While a modal loop switches the owner's input off, the child's is off too.
    Platform::HostInput press;
    press.kind = Platform::HostInput::Kind::LeftButtonDown;
    press.windowId = WindowTest::WindowId(*child_);
    press.x = 7;
    press.y = 9;
    for (const bool enabled : {false, true}) {
        owner_->GetHostWnd()->EnableWindow(enabled);
        presses.clear();
        child_->GetHostWnd()->OnInput(press);
        EXPECT_EQ(presses.size(), enabled ? 1u : 0u) << (enabled ? "switched on" : "switched off");
    }

    child_->SetVisible(false);
    EXPECT_FALSE(child_->GetHostWnd()->IsWindowVisible());
    EXPECT_TRUE(PumpUntil([&] { return IsStripe(ScreenPixel(at.x + 60, at.y + 40)); }))
        << Hex(ScreenPixel(at.x + 60, at.y + 40));
    child_->SetVisible(true);
    EXPECT_TRUE(PumpUntil([&] { return ChildPixel(60, 40) == kFace; })) << Hex(ChildPixel(60, 40));
}

TEST_F(ChildWindowTest, CentredItsPlaceCountsFromItsOwner)
{
    child_->CenterWindow();
    EXPECT_EQ(child_->GetX(), (400 - 120) / 2);
    EXPECT_EQ(child_->GetY(), (240 - 80) / 2);
    const Platform::Rect owner = ScreenRect(*owner_);
    const Platform::Rect centred{owner.x + child_->GetX(), owner.y + child_->GetY(), 120, 80};
    EXPECT_TRUE(PumpUntil([&] { return ScreenRect(*child_) == centred; }));
}

TEST_F(ChildWindowTest, OutlivesItsOwnersWindow)
{
    owner_.reset();
    EXPECT_EQ(child_->GetHostWnd()->GetParent(), nullptr);
    child_->SetVisible(false);
    child_->SetPosition(5, 5);
    child_->SetSize(60, 30);
    child_->SetVisible(true);
    WindowTest::Pump(50);
    EXPECT_FALSE(child_->GetHostWnd()->IsWindowVisible()) << "it has nowhere to show";
    EXPECT_EQ(child_->GetWidth(), 60);
}
