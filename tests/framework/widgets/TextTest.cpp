// Text labels built from a skin file: sizing to the text, the centring
// arithmetic, the selected colour and fonts that follow the root's size.
#include "framework/widgets/Text.h"
#include "framework/widgets/Text2.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>

#include "framework/core/XMLLoadSave.h"
#include "framework/drawing/Image.h"
#include "tests/framework/drawing/PixelExpect.h"
#include "framework/drawing/Painter.h"
#include "support/DocMapFolders.h"

using GdiplusGfxLayer::Color;
using GdiplusGfxLayer::Image;
using GdiplusGfxLayer::Painter;
using Vabo::Text;
using Vabo::Text2;

namespace {

using Picture = std::unique_ptr<Image>;

const Color kRed(255, 255, 0, 0);
const Color kBlue(255, 0, 0, 255);

class TextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = loader_.LoadXML(PELLORA_TEST_DATA "/widgets/TextTest.xml", nullptr, true);
        ASSERT_NE(root_, nullptr);
    }

    // The type element of the label kept under the tag.
    TiXmlElement* Label(const char* tag)
    {
        TiXmlElement* holder = root_->FirstChildElement(tag);
        return holder ? holder->FirstChildElement() : nullptr;
    }

    XMLLoadSave loader_;
    TiXmlElement* root_ = nullptr;
};

// What the label draws into a fresh transparent picture.
Picture Drawn(Vabo::GuiObject& label, int width, int height, bool* drew = nullptr)
{
    auto picture = std::make_unique<Image>(width, height);
    Painter painter(*picture);
    const bool result = label.DrawSelf(painter);
    if (drew)
        *drew = result;
    return picture;
}

// The text in red, drawn straight by the painter into the rectangle.
Picture Expected(const GdiplusGfxLayer::Font& font, const std::string& text, int width, int height, int x, int y,
                 int boxWidth, int boxHeight, Painter::Alignment alignment)
{
    auto picture = std::make_unique<Image>(width, height);
    Painter painter(*picture);
    painter.DrawStringInRect(font, text, kRed, static_cast<float>(x), static_cast<float>(y),
                             static_cast<float>(boxWidth), static_cast<float>(boxHeight), alignment, Painter::TrimNone);
    return picture;
}

} // namespace

TEST_F(TextTest, SizesItselfOnePixelLargerThanItsText)
{
    Text label(Label("Plain"));
    EXPECT_EQ(label.GetText(), "Tuner 440");
    label.CalculateSize();
    const Vabo::Rect box = label.GetFont()->MeasureString("Tuner 440");
    EXPECT_GT(box.width, 0);
    EXPECT_EQ(label.GetWidth(), box.width + 1);
    EXPECT_EQ(label.GetHeight(), box.height + 1);
    EXPECT_TRUE(label.IsSizedFromContent());

    label.SetSize(0, 20);
    bool drew = true;
    const Picture empty = Drawn(label, 40, 40, &drew);
    EXPECT_FALSE(drew) << "a label of no width draws nothing";
    EXPECT_EQ(CountPixels(*empty, Color(0, 0, 0, 0)), 40 * 40);
}

TEST_F(TextTest, CentredLabelUsesIntegerHalvesOfBothHeights)
{
    Text label(Label("Centred"));
    label.SetPosition(10, 5);
    label.SetSize(100, 41);
    bool drew = false;
    const Picture drawn = Drawn(label, 130, 60, &drew);
    EXPECT_TRUE(drew);

    const auto& font = *label.GetFont();
    const int textHeight = font.MeasureRange("A4", -1, -1, -1.0f).height;
    const int y = 5 + (41 / 2 - textHeight / 2);
    EXPECT_TRUE(SamePixels(*drawn, *Expected(font, "A4", 130, 60, 10, y, 100, 41, Painter::Center)));
    // One row lower is a different picture: the comparison does see the row.
    EXPECT_FALSE(SamePixels(*drawn, *Expected(font, "A4", 130, 60, 10, y + 1, 100, 41, Painter::Center)));

    // An alignment other than exactly "Centered" stays at the top left.
    Text lower(Label("LowerCase"));
    lower.SetPosition(0, 0);
    lower.SetSize(100, 41);
    EXPECT_TRUE(
        SamePixels(*Drawn(lower, 100, 41), *Expected(*lower.GetFont(), "A4", 100, 41, 0, 0, 100, 41, Painter::Near)));
}

TEST_F(TextTest, SelectedLabelSwitchesToTheSelectedColour)
{
    Text label(Label("Plain"));
    label.CalculateSize();
    const Picture normal = Drawn(label, label.GetWidth(), label.GetHeight());
    EXPECT_GT(CountPixels(*normal, kRed), 10);
    EXPECT_EQ(CountPixels(*normal, kBlue), 0);

    label.SetForceSelected(true);
    const Picture selected = Drawn(label, label.GetWidth(), label.GetHeight());
    EXPECT_EQ(CountPixels(*selected, kRed), 0);
    EXPECT_EQ(CountPixels(*selected, kBlue), CountPixels(*normal, kRed));

    label.SetForceSelected(false);
    EXPECT_TRUE(SamePixels(*Drawn(label, label.GetWidth(), label.GetHeight()), *normal));
}

TEST_F(TextTest, StretchableFontFollowsTheRootsHeight)
{
    Vabo::GridLayout root;
    root.SetTopLevel(true);
    root.SetSize(300, 200);
    Text label(Label("Stretchy"));
    root.AddChild(&label, false);

    label.SetSize(60, 30);
    EXPECT_FLOAT_EQ(label.GetFont()->GetPixelSize(), 20.0f); // 10 % of 200
    EXPECT_FLOAT_EQ(label.GetFont()->GetSize(), 10.0f);
    const int small = label.GetFont()->MeasureString("Hz").height;

    root.SetSize(300, 400);
    label.SetSize(60, 60);
    EXPECT_FLOAT_EQ(label.GetFont()->GetPixelSize(), 40.0f);
    EXPECT_NEAR(label.GetFont()->MeasureString("Hz").height, 2 * small, 2);
    root.RemoveChild(&label, false);
}

TEST_F(TextTest, WrappedLabelCentresOnItsWrappedHeight)
{
    Text2 label(Label("Wrapped"));
    EXPECT_EQ(label.GetMaxWidth(), 60);
    label.SetPosition(0, 0);
    label.SetSize(200, 120);
    const Picture drawn = Drawn(label, 200, 120);

    const auto& font = *label.GetFont();
    const int wrapped = font.MeasureRange(label.GetText(), -1, -1, 60.0f).height;
    EXPECT_GT(wrapped, font.MeasureRange(label.GetText(), -1, -1, -1.0f).height);
    EXPECT_TRUE(SamePixels(
        *drawn, *Expected(font, label.GetText(), 200, 120, 0, 120 / 2 - wrapped / 2, 200, 120, Painter::Near)));
}

TEST_F(TextTest, ALabelKeepsItsOwnFontOverItsDefinitionAndIsNotBuiltWithoutOne)
{
    DocMapFolders folders(DllDocMapInstance().GetAppFolder(), PELLORA_SOURCE_DIR "/lib/VABO/XML");
    Text label(loader_.ResolveBaseXML(Label("Derived")));
    EXPECT_EQ(label.GetText(), "Own font");
    EXPECT_FLOAT_EQ(label.GetFont()->GetSize(), 20.0f);
    EXPECT_EQ(label.GetFont()->GetStyle(), GdiplusGfxLayer::FontStyleBold);

    EXPECT_THROW(Text noFont(Label("NoFont")), XMLLoadSave::XMLLoadSaveException);
}

TEST_F(TextTest, ALabelLaysItsTextOutOnceUntilTheTextChanges)
{
    Text label(Label("Centred"));
    label.SetSize(100, 41);
    for (int frame = 0; frame < 10; ++frame)
        Drawn(label, 100, 41);
    EXPECT_EQ(1, label.GetLayout().Builds());
    label.SetText("B5");
    const Picture drawn = Drawn(label, 100, 41);
    EXPECT_EQ(2, label.GetLayout().Builds());
    const auto& font = *label.GetFont();
    const int y = 41 / 2 - font.MeasureRange("B5", -1, -1, -1.0f).height / 2;
    EXPECT_TRUE(SamePixels(*drawn, *Expected(font, "B5", 100, 41, 0, y, 100, 41, Painter::Center)));
}

TEST_F(TextTest, ACentredLabelSitsWhereItsUnwrappedTextsHeightPutsIt)
{
    // Each text in turn, as a refresh sets it: the label lands where the
    // height of its unwrapped text says, whether that is measured apart or on
    // the layout drawn (a text the box wraps must still centre on its
    // unwrapped height).
    const struct {
        const char* text;
        const char* why;
    } cases[] = {
        {"110.01 Hz", "digits"},
        {"110.07 Hz", "the next refresh's digits"},
        {"G\u266F3", "a sharp sign"},
        {"B\u266D \U0001D12A", "a flat and a double sharp, perhaps from a fallback font"},
        {"", "no text"},
        {"two\nlines", "two lines of their own"},
        {"a text far wider than the box it is drawn in", "wrapped by the box"},
    };
    Text label(Label("Centred"));
    label.SetSize(160, 41);
    const auto& font = *label.GetFont();
    for (const auto& c : cases) {
        label.SetText(c.text);
        const Picture drawn = Drawn(label, 160, 41);
        const int y = 41 / 2 - font.MeasureRange(c.text, -1, -1, -1.0f).height / 2;
        EXPECT_TRUE(SamePixels(*drawn, *Expected(font, c.text, 160, 41, 0, y, 160, 41, Painter::Center))) << c.why;
        // Drawn again unchanged, from the same layout, at the same place.
        EXPECT_TRUE(SamePixels(*Drawn(label, 160, 41), *drawn)) << c.why;
    }
}
