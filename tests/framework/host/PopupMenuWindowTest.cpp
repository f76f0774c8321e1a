// A popup menu owned by an application window of the same skin document: it
// opens at the cursor, toggles, and closes when an item is clicked or it loses
// the focus, unless it is kept open.
#include "framework/host/PopupMenuWindow.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>

#include "WindowTestSupport.h"
#include "framework/core/ObjectSignals.h"
#include "framework/host/AppWindow.h"
#include "framework/host/VaboWnd.h"
#include "platform/EventTranslation.h"
#include "platform/NativeWindow.h"
#include "platform/WindowShape.h"

using WindowTest::Pump;
using WindowTest::PumpUntil;
using WindowTest::ScreenRect;

namespace {

class PopupMenuWindowTest : public WindowTest::OwnerFixture {
protected:
    void SetUp() override
    {
        WindowTest::OwnerFixture::SetUp();
        ASSERT_NE(owner_, nullptr);
        popup_ = std::make_unique<Vabo::PopupMenuWindow>(ownerElement_->FirstChildElement("Popup"));
        Pump(100);
    }

    // Another popup of the same document, its "Type" as given.
    std::unique_ptr<Vabo::PopupMenuWindow> AnotherMenu(const char* type = nullptr)
    {
        TiXmlElement* menu = skin_.LoadXML("OwnerWindow.xml")->FirstChildElement("Popup");
        if (type)
            menu->SetAttribute("Type", type);
        return std::make_unique<Vabo::PopupMenuWindow>(menu);
    }

    // A real click on the owner window, away from the popup.
    void ClickOwner()
    {
        const Platform::Rect ownerRect = ScreenRect(*owner_);
        WindowTest::PointerTo(ownerRect.x + 300, ownerRect.y + 200);
        WindowTest::PointerDown();
        WindowTest::PointerUp();
    }

    std::unique_ptr<Vabo::PopupMenuWindow> popup_;
};

} // namespace

TEST_F(PopupMenuWindowTest, IsAHiddenPopupOwnedByTheApplicationWindowWhateverTheSkinSays)
{
    ASSERT_NE(popup_->GetHostWnd(), nullptr);
    EXPECT_EQ(popup_->GetWindowType(), Vabo::Window::Popup);
    EXPECT_EQ(popup_->GetHostWnd()->GetParent(), owner_->GetHostWnd());
    EXPECT_FALSE(popup_->IsVisible());
    EXPECT_FALSE(popup_->GetHostWnd()->IsWindowVisible());

    auto application = AnotherMenu("Application");
    EXPECT_EQ(application->GetWindowType(), Vabo::Window::Popup);
    EXPECT_FALSE(application->IsVisible());
}

TEST_F(PopupMenuWindowTest, OpensAtTheCursorAndTogglesAtItsStoredPoint)
{
    // Kept open: windows of other test programs may take the focus meanwhile.
    popup_->SetFlag(true);
    const Platform::Rect ownerRect = ScreenRect(*owner_);
    WindowTest::PointerTo(ownerRect.x + 70, ownerRect.y + 50);
    popup_->SlotPopupAtCursor(nullptr, nullptr);
    Pump(100);
    EXPECT_TRUE(popup_->IsVisible());
    EXPECT_TRUE(popup_->GetHostWnd()->IsWindowVisible());
    EXPECT_EQ(ScreenRect(*popup_).x, ownerRect.x + 70);
    EXPECT_EQ(ScreenRect(*popup_).y, ownerRect.y + 50);
    popup_->Popup();
    Pump(50);
    EXPECT_FALSE(popup_->IsVisible());
    EXPECT_FALSE(popup_->GetHostWnd()->IsWindowVisible());

    popup_->SetPosition(20, 30);
    popup_->Popup();
    Pump(50);
    EXPECT_TRUE(popup_->IsVisible());
    EXPECT_EQ(ScreenRect(*popup_).x, ownerRect.x + 20);
    EXPECT_EQ(ScreenRect(*popup_).y, ownerRect.y + 30);
}

TEST_F(PopupMenuWindowTest, ClosesWhenAnItemIsClicked)
{
    popup_->SetFlag(true); // only the activation of an item closes it here
    popup_->PopupAt(10, 10);
    Pump(100);
    ASSERT_TRUE(popup_->IsVisible());
    WindowTest::PushClick(WindowTest::WindowId(*popup_), 20, 45);
    EXPECT_TRUE(PumpUntil([&] { return !popup_->IsVisible(); }, 500));
}

TEST_F(PopupMenuWindowTest, AShapedPopupAtAPointIsShownTakesTheRealClickAndHandsTheFocusBack)
{
    TiXmlElement* menu = ownerElement_->FirstChildElement("Popup");
    menu->SetAttribute("ShapedWindow", "true");
    auto shaped = std::make_unique<Vabo::PopupMenuWindow>(menu);
    ASSERT_NE(shaped->GetHostWnd(), nullptr);
    owner_->GetHostWnd()->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return owner_->GetHostWnd()->HasFocus(); }, 1000));

    shaped->PopupAt(10, 10);
    ASSERT_TRUE(PumpUntil([&] { return shaped->GetHostWnd()->HasFocus(); }, 1000));
    std::vector<Platform::Rect> outline;
    ASSERT_TRUE(Platform::GetWindowShape(shaped->GetHostWnd()->GetNativeWindow()->Handle(), outline));
    int area = 0;
    for (const auto& r : outline)
        area += r.width * r.height;
    EXPECT_EQ(area, 90 * 60) << "cut from the drawing of the shown menu, not of the hidden one";
    const Platform::Rect at = ScreenRect(*shaped);
    EXPECT_TRUE(PumpUntil([&] { return WindowTest::ScreenPixel(at.x + 70, at.y + 25) == 0x466EC8; }, 1000))
        << WindowTest::Hex(WindowTest::ScreenPixel(at.x + 70, at.y + 25)) << " instead of the button face";

    // The real pointer on the item "Two": the menu takes the click, closes, and
    // the owner has the keyboard again (no window manager would give it). The
    // click of an earlier test at this point, in its own popup, is first left
    // beyond the double-click time, or this one would be taken for its second.
    Pump(Platform::kDoubleClickMs);
    WindowTest::PointerTo(at.x + 20, at.y + 45);
    WindowTest::PointerDown();
    WindowTest::PointerUp();
    EXPECT_TRUE(PumpUntil([&] { return !shaped->IsVisible(); }, 1000));
    EXPECT_TRUE(PumpUntil([&] { return owner_->GetHostWnd()->HasFocus(); }, 1000));
}

TEST_F(PopupMenuWindowTest, ClosesWhenAnotherOfOurWindowsIsClickedUnlessKeptOpen)
{
    popup_->PopupAt(10, 10);
    EXPECT_TRUE(PumpUntil([&] { return popup_->IsWindowActive(); }, 1000)) << "a popup takes the focus";
    ClickOwner();
    EXPECT_TRUE(PumpUntil([&] { return !popup_->IsVisible(); }, 1000));

    popup_->SetFlag(true);
    popup_->PopupAt(10, 10);
    PumpUntil([&] { return popup_->IsWindowActive(); }, 1000);
    ClickOwner();
    Pump(300);
    EXPECT_TRUE(popup_->IsVisible());

    popup_->SetFlag(false);
    Vabo::GridLayout tip;
    popup_->SetAttachedObject(&tip);
    Vabo::Signal::Activate activate;
    popup_->ActivateSlot(&activate, popup_.get());
    EXPECT_TRUE(popup_->IsVisible()) << "an attached object keeps the popup open";
}

TEST_F(PopupMenuWindowTest, ClosingClosesTheInactiveMenuItWasOpenedFromAndDestroyedOwnersAreForgotten)
{
    auto parentMenu = AnotherMenu();
    parentMenu->PopupAt(100, 10);
    // An open sub-menu is attached to its menu, which so stays open meanwhile.
    parentMenu->SetAttachedObject(popup_.get());
    popup_->SetOwnerObject(parentMenu.get());
    popup_->PopupAt(10, 10);
    Pump(100);
    ASSERT_TRUE(parentMenu->IsVisible());
    popup_->ClosePopup();
    EXPECT_FALSE(popup_->IsVisible());
    EXPECT_FALSE(parentMenu->IsVisible());

    // Owner and attached objects destroyed meanwhile are forgotten.
    {
        auto owner = AnotherMenu();
        auto attached = std::make_unique<Vabo::GridLayout>();
        popup_->SetOwnerObject(owner.get());
        popup_->SetAttachedObject(attached.get());
        EXPECT_EQ(popup_->GetOwnerObject(), owner.get());
        EXPECT_EQ(popup_->GetAttachedObject(), attached.get());
    }
    EXPECT_EQ(popup_->GetOwnerObject(), nullptr);
    EXPECT_EQ(popup_->GetAttachedObject(), nullptr);
    popup_->PopupAt(5, 5);
    popup_->ClosePopup();
    EXPECT_FALSE(popup_->IsVisible());
}
