// One window with every input widget, driven by the real pointer (xdotool) and
// by typed keys through its host window, checked by what the X server shows.
#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "WindowTestSupport.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/ObjectSignals.h"
#include "framework/host/AppWindow.h"
#include "framework/host/MenuButton.h"
#include "framework/host/PopupMenuWindow.h"
#include "framework/host/ToolTip.h"
#include "framework/host/VaboWnd.h"
#include "framework/widgets/EditBox.h"
#include "framework/widgets/ImageButton.h"
#include "framework/widgets/ObjectSlider.h"
#include "framework/widgets/ToggleButton.h"
#include "platform/Rect.h"
#include "support/DocMapFolders.h"

namespace {

constexpr std::uint32_t kRest = 0x343A43;
constexpr std::uint32_t kHover = 0x3D444E;
constexpr std::uint32_t kAccent = 0x38BDF8;
constexpr std::uint32_t kDisplay = 0x0C1116;
constexpr std::uint32_t kPaper = 0xFFFFE1;

class InputWidgetsWindowTest : public WindowTest::Fixture {
protected:
    void SetUp() override
    {
        WindowTest::Fixture::SetUp();
        folders_ = std::make_unique<DocMapFolders>(PELLORA_TEST_DATA "/inputs", PELLORA_SOURCE_DIR "/lib/VABO/XML");
        window_ = std::make_unique<Vabo::AppWindow>(skin_.LoadXML("AllInputs.xml"));
        Vabo::Signal::ConnectXMLSlots connect;
        window_->Raise(&connect);
        window_->SetVisible(true);
        ASSERT_TRUE(WindowTest::PumpUntil([&] { return Shown(5, 5) == 0x23272E; }));
        // As a modal loop would: the window takes the keyboard focus, and only an
        // active window shows tooltips.
        window_->GetHostWnd()->SetFocus();
        ASSERT_TRUE(WindowTest::PumpUntil([&] { return window_->IsWindowActive(); }));
    }

    template <class T> T* Find(const char* name) { return Vabo::GetXMLObject<T>(window_.get(), name); }

    // A point of the window in screen coordinates.
    int ScreenX(int x) const { return WindowTest::ScreenRect(*window_).x + x; }
    int ScreenY(int y) const { return WindowTest::ScreenRect(*window_).y + y; }
    std::uint32_t Shown(int x, int y) const { return WindowTest::ScreenPixel(ScreenX(x), ScreenY(y)); }
    bool ShowsSoon(int x, int y, std::uint32_t rgb) const
    {
        return WindowTest::PumpUntil([&] { return Shown(x, y) == rgb; });
    }

    void PointTo(int x, int y) { WindowTest::PointerTo(ScreenX(x), ScreenY(y)); }
    void ClickOn(int x, int y)
    {
        PointTo(x, y);
        WindowTest::PointerDown();
        WindowTest::Pump(30);
        WindowTest::PointerUp();
        WindowTest::Pump(30);
    }

    std::unique_ptr<DocMapFolders> folders_;
    std::unique_ptr<Vabo::AppWindow> window_;
};

} // namespace

TEST_F(InputWidgetsWindowTest, EveryWidgetAnswersTheRealPointerAndKeys)
{
    auto* play = Find<Vabo::ImageButton>("Play");
    auto* toggle = Find<Vabo::ToggleButton>("Auto");
    auto* level = Find<Vabo::ObjectSlider>("Level");
    auto* reference = Find<Vabo::EditBox>("Reference");
    auto* inst = Find<Vabo::MenuButton>("Inst");
    ASSERT_TRUE(play && toggle && level && reference && inst && inst->GetPopup());

    // The image button: resting, then its hover face under the pointer, and
    // after a second of rest its tooltip above it.
    EXPECT_EQ(Shown(34, 52), kRest);
    PointTo(34, 52);
    EXPECT_TRUE(ShowsSoon(34, 52, kHover));
    ASSERT_TRUE(
        WindowTest::PumpUntil([&] { return play->GetToolTipWindow() && play->GetToolTipWindow()->IsVisible(); }, 4000));
    auto* tip = dynamic_cast<Vabo::ToolTip*>(play->GetToolTipWindow());
    ASSERT_NE(tip, nullptr);
    const Platform::Rect tipRect = WindowTest::ScreenRect(*tip);
    EXPECT_TRUE(WindowTest::PumpUntil([&] { return WindowTest::ScreenPixel(tipRect.x + 3, tipRect.y + 3) == kPaper; }));
    EXPECT_EQ(WindowTest::ScreenPixel(tipRect.x, tipRect.y), 0x000000u);
    EXPECT_LT(tipRect.y + tipRect.height, ScreenY(40)) << "the tip stands above the button";

    // The toggle swaps on a click.
    ClickOn(94, 52);
    EXPECT_EQ(toggle->GetState(), 1);
    EXPECT_TRUE(ShowsSoon(94, 52, kAccent));
    EXPECT_FALSE(tip->IsVisible()) << "leaving the button took its tip away";

    // The slider follows a drag from a quarter to three quarters.
    PointTo(10 + 50, 86);
    WindowTest::PointerDown();
    WindowTest::Pump(30);
    PointTo(10 + 150, 86);
    WindowTest::Pump(30);
    WindowTest::PointerUp();
    EXPECT_TRUE(WindowTest::PumpUntil([&] { return level->GetValue() == 75; }));
    EXPECT_TRUE(ShowsSoon(10 + 140, 86, kAccent));
    EXPECT_EQ(Shown(10 + 190, 86), kDisplay);

    // The edit box takes the focus from a click and a decimal number from the keys.
    ClickOn(70, 122);
    const std::uint32_t id = WindowTest::WindowId(*window_);
    WindowTest::PushText(id, "44");
    WindowTest::PushText(id, "0.5.x");
    WindowTest::PushKey(id, SDLK_RETURN);
    EXPECT_TRUE(WindowTest::PumpUntil([&] { return reference->GetCaret() == -1; }));
    EXPECT_EQ(reference->GetEditText(), "440.5");
    int light = 0;
    WindowTest::Pump(50);
    for (int x = 12; x < 128; ++x)
        light += (Shown(x, 122) & 0xFF) > 0xC0 ? 1 : 0;
    EXPECT_GT(light, 5) << "the number is drawn in the box";

    // The menu button opens its menu right below itself.
    ClickOn(164, 122);
    Vabo::PopupMenuWindow* menu = inst->GetPopup();
    ASSERT_TRUE(WindowTest::PumpUntil([&] { return menu->IsVisible(); }));
    const Platform::Rect menuRect = WindowTest::ScreenRect(*menu);
    EXPECT_EQ(menuRect.x, ScreenX(140));
    EXPECT_EQ(menuRect.y, ScreenY(134));
    EXPECT_TRUE(WindowTest::PumpUntil([&] { return WindowTest::ScreenPixel(menuRect.x + 30, menuRect.y + 12) != 0; }));
    WindowTest::SaveScreenshot("input-widgets-window.png");
}
