// A clipped view onto a striped content object: drawn shifted by the clip
// offset and cut to the view, clicks inside reach the content at its shifted
// point, clicks outside never reach it.
#include "framework/host/ClippedWindow.h"

#include <gtest/gtest.h>

#include "framework/core/InputSignals.h"
#include "framework/core/ScreenManagerInterface.h"
#include "framework/drawing/Image.h"
#include "framework/drawing/Painter.h"

using GdiplusGfxLayer::Color;

namespace {

const Color kRed(255, 220, 30, 30);
const Color kGreen(255, 30, 180, 30);

// 100 x 200 in bands 10 pixels high, red and green by turns.
class Stripes : public Vabo::GuiObject {
public:
    Stripes()
        : GuiObject(1, 0)
    {
        SetSize(100, 200);
    }
    bool DrawSelf(GdiplusGfxLayer::Painter& painter) override
    {
        for (int band = 0; band < 20; ++band)
            painter.FillRect(Vabo::Rect{GetX(), GetY() + band * 10, 100, 10}, band % 2 ? kGreen : kRed);
        return true;
    }
};

class NoScreens : public Vabo::ScreenManagerInterface {
public:
    void InvalidateRect(const Vabo::Rect&) override { }
    void SetFocusObject(Vabo::GuiObject*) override { }
    Vabo::GuiObject* GetBaseRoot() const override { return nullptr; }
    void SetLeftButtonHeld(bool) override { }
    void SetRightButtonHeld(bool) override { }
    void ActivateScreen(const std::string&, bool) override { }
    void AddScreen(const std::string&, bool, const std::string&, const std::string&) override { }
    void ReturnKeyboardFocus() override { }
};

class ClippedWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_.SetTopLevel(true);
        root_.SetSize(200, 100);
        root_.SetScreenManager(&screens_);
        root_.AddChild(&view_, false);
        view_.SetPosition(20, 10);
        view_.SetSize(100, 50);
        view_.SetClipOffset(0, 40);
        content_.Connect(
            Vabo::Signal::TypeIdOf<Vabo::Signal::LeftButtonDown>(), nullptr,
            [this](Vabo::Signal::Base* signal, Vabo::GuiObject*) {
                // The press in the content's own frame, scrolling included.
                auto* press = static_cast<Vabo::Signal::Positional*>(signal);
                presses_.push_back(Vabo::Point{press->x - content_.GetWindowX(), press->y - content_.GetWindowY()});
            },
            content_.Watch());
    }
    void TearDown() override { root_.RemoveChild(&view_, false); }

    NoScreens screens_;
    Vabo::GuiObject root_{1, 0};
    Stripes content_;
    Vabo::ClippedWindow view_{&content_, false};
    std::vector<Vabo::Point> presses_;
};

} // namespace

TEST_F(ClippedWindowTest, DrawsTheContentShiftedAndClipped)
{
    GdiplusGfxLayer::Image surface(200, 100);
    GdiplusGfxLayer::Painter painter(surface);
    EXPECT_TRUE(root_.Render(painter));
    // The view's top row shows the content's row 40 (a red band), row 10 of the
    // view its row 50 (green).
    EXPECT_EQ(surface.GetPixel(25, 10), kRed);
    EXPECT_EQ(surface.GetPixel(25, 19), kRed);
    EXPECT_EQ(surface.GetPixel(25, 20), kGreen);
    EXPECT_EQ(surface.GetPixel(119, 59), kRed); // the content's row 89
    // Nothing outside the view.
    const Color none(0, 0, 0, 0);
    EXPECT_EQ(surface.GetPixel(25, 9), none);
    EXPECT_EQ(surface.GetPixel(25, 60), none);
    EXPECT_EQ(surface.GetPixel(19, 30), none);
    EXPECT_EQ(surface.GetPixel(120, 30), none);
    EXPECT_FALSE(painter.GetClip().has_value()) << "the clip is restored";
}

TEST_F(ClippedWindowTest, OnlyAClickInsideReachesTheContentAtItsShiftedPoint)
{
    // The content reaches down to window row 170; the view ends at row 60.
    for (Vabo::Point at : {Vabo::Point{25, 80}, Vabo::Point{25, 5}, Vabo::Point{150, 30}, Vabo::Point{25, 15}}) {
        Vabo::Signal::LeftButtonDown press(at.x, at.y);
        root_.Raise(&press);
    }
    ASSERT_EQ(presses_.size(), 1u);
    EXPECT_EQ(presses_[0].x, 5);
    EXPECT_EQ(presses_[0].y, 45);

    Stripes other;
    EXPECT_TRUE(view_.SetContent(&other));
    EXPECT_EQ(view_.GetChildren(), (std::vector<Vabo::GuiObject*>{&other})) << "the old content is removed";
    view_.SetContent(&content_);
}
