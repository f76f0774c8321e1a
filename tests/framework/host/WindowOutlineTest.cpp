// A shown shaped window takes its outline from the frame it draws anyway
// after a resize, not from a drawing of its own: at every size the outline is
// the one a drawing of the window's tree gives, and the tree is drawn once.
#include "framework/host/AppWindow.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "WindowTestSupport.h"
#include "framework/host/VaboWnd.h"
#include "framework/host/WindowSurface.h"
#include "platform/Clock.h"
#include "platform/WindowShape.h"

using WindowTest::Pump;

namespace {

// Draws nothing; counts how often it is drawn.
class DrawCounter : public Vabo::GuiObject {
public:
    DrawCounter()
        : GuiObject(1, 0)
    {
    }
    bool DrawSelf(GdiplusGfxLayer::Painter&) override
    {
        ++draws;
        return true;
    }
    int draws = 0;
};

// Which pixels of a width x height window lie inside the rectangles.
std::vector<bool> Covered(const std::vector<Platform::Rect>& rects, int width, int height)
{
    std::vector<bool> inside(static_cast<std::size_t>(width) * height, false);
    for (const Platform::Rect& r : rects)
        for (int y = std::max(r.y, 0); y < std::min(r.Bottom(), height); ++y)
            for (int x = std::max(r.x, 0); x < std::min(r.Right(), width); ++x)
                inside[static_cast<std::size_t>(y) * width + x] = true;
    return inside;
}

class WindowOutlineTest : public WindowTest::Fixture {
protected:
    void TearDown() override { window_->RemoveChild(&counter_, false); }

    std::unique_ptr<Vabo::AppWindow> window_;
    DrawCounter counter_;
};

} // namespace

TEST_F(WindowOutlineTest, AfterEachResizeTheOutlineIsTheDrawingsAndTheTreeIsDrawnOnce)
{
    TiXmlElement* element = skin_.LoadXML("AppWindowTest.xml");
    ASSERT_NE(element, nullptr);
    window_ = std::make_unique<Vabo::AppWindow>(element);
    Vabo::VaboWnd* host = window_->GetHostWnd();
    ASSERT_NE(host, nullptr);
    window_->AddChild(&counter_, false);
    window_->SetVisible(true);
    SDL_Window* native = host->GetNativeWindow()->Handle();

    // The skin's own aspect, so that no margins show.
    const struct {
        int width, height;
    } sizes[] = {{240, 160}, {300, 200}, {180, 120}, {270, 180}};
    for (const auto& size : sizes) {
        const std::string name = std::to_string(size.width) + " x " + std::to_string(size.height);
        window_->SetSize(size.width, size.height);
        ASSERT_TRUE(WindowTest::PumpUntil(
            [&] { return host->GetWindowRect().width == size.width && window_->GetWidth() == size.width; }, 3000))
            << name;
        counter_.SetPosition(20, 40);
        counter_.SetSize(30, 30);
        counter_.SetVisible(true);

        // As after a resize: the outline waits for the frame.
        counter_.draws = 0;
        window_->Window::WindowSizedSlot(nullptr, window_.get());
        EXPECT_EQ(0, counter_.draws) << name << ": the window drew itself for its outline";
        // The same moment for both drawings: pictures still settling after
        // the resize are drawn alike.
        Platform::ManualClock still(Platform::NowMs());
        host->Redraw();
        EXPECT_EQ(1, counter_.draws) << name;

        std::vector<Platform::Rect> outline;
        ASSERT_TRUE(Platform::GetWindowShape(native, outline)) << name;
        GdiplusGfxLayer::WindowSurface alone(size.width, size.height);
        window_->Render(alone.GetPainter());
        const auto drawn = alone.CreateWindowRegion();
        ASSERT_TRUE(drawn) << name;
        EXPECT_TRUE(Covered(outline, size.width, size.height) == Covered(*drawn, size.width, size.height)) << name;
        EXPECT_FALSE(Covered(outline, size.width, size.height)[0]) << name << ": the transparent corner is cut away";
    }
}
