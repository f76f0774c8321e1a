// Tooltips from a real skin: sized once to their text plus the border, deaf to
// layouts, painted on the tooltip colour inside a black frame, and hidden by a
// pointer move over their window; placed beside their control within the screen.
#include "framework/host/ToolTip.h"
#include "framework/host/ToolTipPlacement.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "WindowTestSupport.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/drawing/Image.h"
#include "framework/drawing/Painter.h"
#include "platform/Rect.h"
#include "framework/widgets/Text2.h"
#include "support/DocMapFolders.h"
#include "tests/framework/drawing/PixelExpect.h"

using GdiplusGfxLayer::Color;

namespace {

// A tooltip is a popup: its document needs the application window that owns it.
class ToolTipTest : public WindowTest::OwnerFixture {
protected:
    std::unique_ptr<Vabo::ToolTip> Make(const char* name)
    {
        TiXmlElement* root = skin_.LoadXML("ToolTips.xml", ownerElement_);
        for (TiXmlElement* element = root ? root->FirstChildElement() : nullptr; element;
             element = element->NextSiblingElement()) {
            if (std::string(element->Attribute("Name")) == name)
                return std::make_unique<Vabo::ToolTip>(skin_.ResolveBaseXML(element));
        }
        ADD_FAILURE() << "no tooltip " << name;
        return nullptr;
    }

    // After the fixture's start, which points the application folder elsewhere.
    void SetUp() override
    {
        WindowTest::OwnerFixture::SetUp();
        folders_ = std::make_unique<DocMapFolders>(PELLORA_TEST_DATA "/inputs", PELLORA_SOURCE_DIR "/lib/VABO/XML");
    }

    std::unique_ptr<DocMapFolders> folders_;
};

bool IsInk(const Color& c)
{
    return c.GetAlpha() == 255 && c.GetRed() < 100 && c.GetGreen() < 100 && c.GetBlue() < 100;
}

} // namespace

TEST_F(ToolTipTest, SizesItselfOnceToItsTextAndTheBorder)
{
    auto tip = Make("Tip");
    ASSERT_NE(tip, nullptr);
    auto* label = Vabo::GetXMLObject<Vabo::Text2>(tip.get(), "Text");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetText(), "Reference pitch");
    const Vabo::Rect text = label->GetFont()->MeasureString("Reference pitch");
    EXPECT_EQ(label->GetRect(), (Vabo::Rect{5, 3, text.x + text.width + 5, text.y + text.height + 5}));
    EXPECT_EQ(tip->GetWidth(), label->GetWidth() + 10);
    EXPECT_EQ(tip->GetHeight(), label->GetHeight() + 6);
    EXPECT_FALSE(tip->IsVisible());

    const Vabo::Rect before = tip->GetRect();
    EXPECT_FALSE(tip->SetSize(300, 100));
    EXPECT_EQ(tip->GetRect(), before) << "layouts cannot resize a tooltip";

    // A label wrapped at its width makes the tip exactly that wide plus the border.
    auto wrapped = Make("Wrapped");
    ASSERT_NE(wrapped, nullptr);
    EXPECT_EQ(wrapped->GetWidth(), 120 + 8);
    EXPECT_GT(wrapped->GetHeight(), 2 * text.height) << "the long text takes several lines";

    // Without its label the tip stays as its definition made it.
    auto bare = Make("Bare");
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->GetWidth(), 30);
    EXPECT_EQ(bare->GetHeight(), 20);
}

TEST_F(ToolTipTest, PaintsTheTooltipColourInABlackFrameUnderItsText)
{
    auto tip = Make("Tip");
    ASSERT_NE(tip, nullptr);
    // The pointer stays off the tip: a move over it would hide it.
    WindowTest::PointerTo(0, 0);
    tip->SetPosition(200, 200);
    tip->SetVisible(true);
    ASSERT_TRUE(WindowTest::PumpUntil([&] { return tip->IsVisible(); }));
    // What the screen shows where the window stands (read from the root window:
    // the tip's own window may not be mapped yet).
    const Platform::Rect shown = WindowTest::ScreenRect(*tip);
    EXPECT_TRUE(WindowTest::PumpUntil([&] { return WindowTest::ScreenPixel(shown.x + 2, shown.y + 2) == 0xFFFFE1u; }));
    EXPECT_EQ(WindowTest::ScreenPixel(shown.x, shown.y), 0x000000u);
    GdiplusGfxLayer::Image picture(tip->GetWidth(), tip->GetHeight());
    GdiplusGfxLayer::Painter painter(picture);
    tip->Render(painter);
    const Color black(255, 0, 0, 0);
    const Color paper(255, 255, 255, 225);
    EXPECT_TRUE(PixelNear(picture, 0, 0, black));
    EXPECT_TRUE(PixelNear(picture, 0, tip->GetHeight() / 2, black));
    EXPECT_TRUE(PixelNear(picture, tip->GetWidth() / 2, 0, black));
    EXPECT_TRUE(PixelNear(picture, 2, 2, paper));
    EXPECT_TRUE(PixelNear(picture, tip->GetWidth() - 3, tip->GetHeight() - 3, paper));
    // The text's ink, inside the frame.
    std::pair<int, int> ink{tip->GetWidth(), -1};
    for (int y = 2; y < tip->GetHeight() - 3; ++y)
        for (int x = 2; x < tip->GetWidth() - 3; ++x)
            if (IsInk(picture.GetPixel(x, y)))
                ink = {std::min(ink.first, x), std::max(ink.second, x)};
    EXPECT_GE(ink.first, 5) << "the text starts inside the left border";
    EXPECT_LT(ink.second, tip->GetWidth() - 5);
    EXPECT_GT(ink.second - ink.first, 40);
}

TEST_F(ToolTipTest, APointerMoveOverTheShownTipHidesIt)
{
    auto tip = Make("Tip");
    ASSERT_NE(tip, nullptr);
    tip->SetPosition(200, 200);
    tip->SetVisible(true);
    ASSERT_TRUE(WindowTest::PumpUntil([&] { return tip->IsVisible(); }));
    SDL_Event move;
    SDL_zero(move);
    move.type = SDL_MOUSEMOTION;
    move.motion.windowID = WindowTest::WindowId(*tip);
    move.motion.x = 10;
    move.motion.y = 5;
    SDL_PushEvent(&move);
    EXPECT_TRUE(WindowTest::PumpUntil([&] { return !tip->IsVisible(); }));
}

TEST(ToolTipPlacement, StaysOnTheScreenAndNeverCoversItsControl)
{
    // A 100 x 20 tip on a 1280 x 1024 screen, for a 40 x 30 control.
    const Platform::Rect screen{0, 0, 1280, 1024};
    struct Case {
        Platform::Rect control;
        int pointerX;
        Platform::Rect expected;
    } cases[] = {
        {{500, 400, 40, 30}, 510, {510, 378, 100, 20}}, // above, from the pointer
        {{500, 10, 40, 30}, 510, {510, 42, 100, 20}},   // no room above: below
        {{1250, 400, 30, 30}, 1260, {1180, 378, 100, 20}}, // kept off the right edge
        {{-30, 400, 40, 30}, -20, {0, 378, 100, 20}},   // and off the left
        {{500, 990, 40, 30}, 510, {510, 968, 100, 20}}, // at the bottom: above still
    };
    for (const Case& c : cases)
        EXPECT_EQ(Vabo::PlaceToolTip(c.control, c.pointerX, 100, 20, screen), c.expected)
            << c.control.x << "," << c.control.y;
}

TEST(ToolTipPlacement, CoversNoOtherControlWhereAboveBelowOrInsideAllowsIt)
{
    // A 380 x 26 tip on a 1280 x 1024 screen: a 488 x 205 display under a row
    // of buttons and over a strip, as the tuner's dial stands.
    const Platform::Rect screen{0, 0, 1280, 1024};
    const Platform::Rect display{36, 98, 488, 205}, row{378, 54, 112, 32}, strip{16, 320, 768, 70};
    const Platform::Rect button{500, 400, 40, 30};
    // A level meter with a slider lying over it, a caption above and below,
    // a volume slider and its caption to the right and a row of notes above.
    const Platform::Rect meter{332, 423, 170, 14}, slider{326, 420, 181, 40}, caption{332, 404, 160, 15},
        under{332, 466, 160, 17}, volume{526, 402, 16, 64}, in{510, 471, 48, 15}, notes{16, 320, 768, 70};
    struct Case {
        const char* what;
        Platform::Rect control;
        int pointerX, pointerY;
        std::vector<Platform::Rect> keepClear;
        Platform::Rect expected;
    } cases[] = {
        {"nothing around: above", display, 300, 250, {}, {300, 70, 380, 26}},
        {"a row above: below", display, 300, 250, {row}, {300, 305, 380, 26}},
        {"hemmed in, pointer low: inside at the top", display, 300, 250, {row, strip}, {142, 100, 380, 26}},
        {"hemmed in, pointer high: inside at the bottom", display, 20, 120, {row, strip}, {38, 275, 380, 26}},
        {"a button hemmed in: above all the same", button, 510, 415, {{500, 360, 40, 30}, {500, 440, 40, 30}},
         {510, 372, 380, 26}},
        {"a meter under a slider, hemmed in above: below both, past the caption", meter, 418, 430,
         {slider, caption, under, volume, in, notes}, {38, 485, 380, 26}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Vabo::PlaceToolTip(c.control, c.pointerX, c.pointerY, 380, 26, screen, c.keepClear), c.expected)
            << c.what;
}
