// Screens of a window built from a skin: they follow the window's size, select
// their first tab object when entered, and go back or reset the back stack
// through their slots (also from a skin's "Connect").
#include "framework/host/Screen.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>

#include "WindowTestSupport.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/host/AppWindow.h"
#include "framework/host/VaboWnd.h"
#include "framework/host/Window.h"

using WindowTest::Pump;

namespace {

class ScreenTest : public WindowTest::Fixture {
protected:
    void SetUp() override
    {
        WindowTest::Fixture::SetUp();
        TiXmlElement* element = skin_.LoadXML("ScreenWindow.xml");
        ASSERT_NE(element, nullptr);
        window_ = std::make_unique<Vabo::Window>(element);
        ASSERT_NE(window_->GetHostWnd(), nullptr);
        window_->SetVisible(true);
        Pump(50);
    }

    Vabo::ScreenManager& Screens() { return window_->GetHostWnd()->GetScreenManager(); }

    Vabo::Screen* Root(const std::string& name)
    {
        const auto* entry = Screens().FindScreen(name);
        return entry ? dynamic_cast<Vabo::Screen*>(entry->root) : nullptr;
    }

    std::string Active()
    {
        std::string name;
        return Screens().GetActiveScreenName(name) ? name : "<none>";
    }

    std::unique_ptr<Vabo::Window> window_;
};

using Stack = std::vector<std::string>;

} // namespace

TEST_F(ScreenTest, EnteringAScreenSizesItAndSelectsItsFirstTabObjectAndItsSlotsGoBackAndReset)
{
    Screens().ActivateScreen("First", true);
    Vabo::Screen* first = Root("First");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetWidth(), 200);
    EXPECT_EQ(first->GetHeight(), 120);
    auto* start = Vabo::GetXMLObject<Vabo::GuiObject>(first, "Start");
    ASSERT_NE(start, nullptr);
    EXPECT_TRUE(start->IsSelected());

    Screens().WindowSized(260, 150);
    EXPECT_EQ(first->GetWidth(), 260);
    EXPECT_EQ(first->GetHeight(), 150);

    Screens().ActivateScreen("Second", true);
    Screens().ActivateScreen("Third", true);
    EXPECT_EQ(Screens().GetBackStack(), (Stack{"First", "Second", "Third"}));

    Root("Third")->SlotScreenBack(nullptr, nullptr);
    EXPECT_EQ(Active(), "Second");
    EXPECT_EQ(Screens().GetBackStack(), (Stack{"First", "Second"}));

    Root("Second")->SlotResetBackStack(nullptr, nullptr);
    EXPECT_EQ(Screens().GetBackStack(), (Stack{"Second"}));
    Root("Second")->SlotScreenBack(nullptr, nullptr);
    EXPECT_EQ(Active(), "Second") << "one screen on the stack: nowhere to go back to";
}

TEST_F(ScreenTest, ABackButtonInTheSkinGoesBack)
{
    Screens().ActivateScreen("First", true);
    Screens().ActivateScreen("Second", true);
    Pump(50);
    WindowTest::PushClick(WindowTest::WindowId(*window_), 30, 20);
    EXPECT_TRUE(WindowTest::PumpUntil([&] { return Active() == "First"; }, 500));
    EXPECT_EQ(Screens().GetBackStack(), (Stack{"First"}));
}

// The window's own content lies under its screens: a size it missed while a
// screen was shown reaches it when it is shown again.
TEST_F(ScreenTest, TheWindowsOwnContentTakesTheSizeItMissedUnderAScreen)
{
    XMLLoadSave skin;
    TiXmlElement* element = skin.LoadXML("ScreenWindow.xml");
    ASSERT_NE(element, nullptr);
    Vabo::AppWindow window(element);
    window.SetVisible(true);
    Vabo::ScreenManager& screens = window.GetHostWnd()->GetScreenManager();
    screens.ActivateScreen("First", true);
    const auto* first = screens.FindScreen("First");
    ASSERT_TRUE(first && first->root);
    window.GetHostWnd()->Resize(260, 150);
    ASSERT_TRUE(WindowTest::PumpUntil([&] { return first->root->GetWidth() == 260; }));
    screens.ActivateScreen("", true);
    EXPECT_EQ(window.GetWidth(), 260);
    EXPECT_EQ(window.GetHeight(), 150);
}
