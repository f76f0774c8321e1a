// Menu buttons in a real window: a press opens the menu below the button and
// a second press closes it, a reload keeps one menu and one press slot, a
// sub-menu entry opens its menu beside itself after a quarter second of hover
// (the second one hiding the first), and broken menu documents are reported.
#include "framework/host/MenuButton.h"

#include <gtest/gtest.h>

#include <memory>

#include "WindowTestSupport.h"
#include "framework/core/DocMap.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/host/AppWindow.h"
#include "framework/host/PopupMenuWindow.h"
#include "framework/host/ScreenManager.h"
#include "framework/host/VaboWnd.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "support/DocMapFolders.h"

using Vabo::MenuButton;
using Vabo::PopupMenuWindow;

namespace {

class MenuButtonTest : public WindowTest::Fixture {
protected:
    void SetUp() override
    {
        WindowTest::Fixture::SetUp();
        folders_ = std::make_unique<DocMapFolders>(PELLORA_TEST_DATA "/inputs", PELLORA_SOURCE_DIR "/lib/VABO/XML");
        window_ = std::make_unique<Vabo::AppWindow>(skin_.LoadXML("MenuWindow.xml"));
        window_->SetVisible(true);
        ASSERT_TRUE(WindowTest::PumpUntil([&] { return window_->IsVisible(); }));
    }

    MenuButton* Button(Vabo::GuiObject* below, const char* name)
    {
        auto* button = Vabo::GetXMLObject<MenuButton>(below, name);
        EXPECT_NE(button, nullptr) << name;
        return button;
    }

    // A press and release on the middle of a button, as the window's host delivers them.
    void Click(MenuButton& button)
    {
        WindowTest::PushClick(WindowTest::WindowId(*window_), button.GetWindowX() + button.GetWidth() / 2,
                              button.GetWindowY() + button.GetHeight() / 2);
    }

    std::unique_ptr<DocMapFolders> folders_;
    std::unique_ptr<Vabo::AppWindow> window_;
};

} // namespace

TEST_F(MenuButtonTest, APressOpensTheMenuBelowTheButtonAndASecondPressClosesIt)
{
    MenuButton* inst = Button(window_.get(), "Inst");
    ASSERT_NE(inst, nullptr);
    PopupMenuWindow* menu = inst->GetPopup();
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(inst->IsSubMenu());
    EXPECT_FALSE(menu->IsVisible());

    Click(*inst);
    ASSERT_TRUE(WindowTest::PumpUntil([&] { return menu->IsVisible(); }));
    EXPECT_EQ(menu->GetX(), inst->GetWindowX());
    EXPECT_EQ(menu->GetY(), inst->GetWindowY() + inst->GetHeight());
    EXPECT_EQ(menu->GetWidth(), 60) << "the menu takes the size of its content";
    EXPECT_EQ(menu->GetHeight(), 48);
    Click(*inst);
    EXPECT_TRUE(WindowTest::PumpUntil([&] { return !menu->IsVisible(); }));
}

TEST_F(MenuButtonTest, AReloadReplacesTheMenuAndAPressStillOpensIt)
{
    MenuButton* inst = Button(window_.get(), "Inst");
    ASSERT_NE(inst, nullptr);
    inst->ReloadXml(false);
    inst->ReloadXml(false);
    PopupMenuWindow* menu = inst->GetPopup();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->GetParent(), inst);

    // With the press slot connected once, one press opens the menu and leaves it open.
    Click(*inst);
    ASSERT_TRUE(WindowTest::PumpUntil([&] { return menu->IsVisible(); }));
    WindowTest::Pump(100);
    EXPECT_TRUE(menu->IsVisible());
}

TEST_F(MenuButtonTest, ASubMenuOpensAfterAQuarterSecondOfHoverAndTheNextHidesIt)
{
    MenuButton* inst = Button(window_.get(), "Inst");
    ASSERT_NE(inst, nullptr);
    PopupMenuWindow* menu = inst->GetPopup();
    ASSERT_NE(menu, nullptr);
    MenuButton* more = Button(menu, "More");
    MenuButton* other = Button(menu, "Other");
    ASSERT_TRUE(more && other && more->GetPopup() && other->GetPopup());
    EXPECT_TRUE(more->IsSubMenu());

    // The clock stands still from here: the menu's own screen manager is driven by hand.
    Platform::ManualClock clock(10000);
    inst->ShowMenu();
    ASSERT_TRUE(menu->IsVisible());
    Vabo::ScreenManager& screens = menu->GetHostWnd()->GetScreenManager();
    screens.MouseMove(Vabo::Point{20, 10}, true);
    ASSERT_TRUE(more->IsSelected());
    clock.Advance(250);
    screens.Timer();
    EXPECT_FALSE(more->GetPopup()->IsVisible()) << "a quarter second is not yet enough";
    clock.Advance(1);
    screens.Timer();
    ASSERT_TRUE(more->GetPopup()->IsVisible());
    EXPECT_EQ(more->GetPopup()->GetX(), menu->GetX() + 60);
    EXPECT_EQ(more->GetPopup()->GetY(), menu->GetY());
    EXPECT_EQ(more->GetPopup()->GetOwnerObject(), menu);
    EXPECT_EQ(menu->GetAttachedObject(), more->GetPopup());
    clock.Advance(1000);
    screens.Timer();
    EXPECT_TRUE(more->GetPopup()->IsVisible()) << "an open sub-menu stays open";

    screens.MouseMove(Vabo::Point{20, 30}, true);
    ASSERT_TRUE(other->IsSelected());
    clock.Advance(251);
    screens.Timer();
    EXPECT_TRUE(other->GetPopup()->IsVisible());
    EXPECT_EQ(other->GetPopup()->GetY(), menu->GetY() + 24);
    EXPECT_FALSE(more->GetPopup()->IsVisible()) << "the second sub-menu hides the first";
}

TEST_F(MenuButtonTest, MenuTakesPrecedenceAndAnUnloadableMenuLeavesAPlainButton)
{
    MenuButton* both = Button(window_.get(), "Both");
    MenuButton* lost = Button(window_.get(), "Lost");
    ASSERT_TRUE(both && lost);
    EXPECT_FALSE(both->IsSubMenu());
    EXPECT_NE(both->GetPopup(), nullptr);
    EXPECT_EQ(lost->GetPopup(), nullptr);

    Platform::LogCapture log;
    lost->ReloadXml(false);
    EXPECT_TRUE(log.Contains("\"Lost\""));
    EXPECT_TRUE(log.Contains("NoSuchMenu.xml cannot be loaded"));
    Click(*lost);
    WindowTest::Pump(50);
    EXPECT_EQ(lost->GetPopup(), nullptr);

    // The menus' documents go with their buttons, as a screen built anew at
    // every visit drops them.
    TiXmlElement* again = skin_.LoadXML("MenuWindow.xml");
    ASSERT_NE(again, nullptr);
    const std::size_t documents = DllDocMapInstance().GetDocuments().size();
    for (int i = 0; i < 3; ++i)
        Vabo::AppWindow built(again);
    EXPECT_EQ(documents, DllDocMapInstance().GetDocuments().size());
}
