// Text labels built from a skin file: sizing to the text, the centring
// arithmetic, the selected colour and fonts that follow the root's size.
#include "framework/widgets/Text.h"
#include "framework/widgets/Text2.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include "framework/core/DocMap.h"
#include "framework/core/XMLLoadSave.h"
#include "framework/host/GdiplusGfxLayer/Image.h"
#include "framework/host/GdiplusGfxLayer/Painter.h"

using GdiplusGfxLayer::Color;
using GdiplusGfxLayer::Image;
using GdiplusGfxLayer::Painter;
using Vabo::Text;
using Vabo::Text2;

namespace {

class TextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = loader_.LoadXML(PELLORA_TEST_DATA "/widgets/TextTest.xml", nullptr, true);
    ASSERT_NE(root_, nullptr);
  }

  // The type element of the label kept under the tag.
  TiXmlElement* Label(const char* tag) {
    TiXmlElement* holder = root_->FirstChildElement(tag);
    return holder ? holder->FirstChildElement() : nullptr;
  }

  static bool SamePixels(const Image& a, const Image& b) {
    for (int y = 0; y < a.GetHeight(); ++y)
      for (int x = 0; x < a.GetWidth(); ++x)
        if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
    return true;
  }

  static int CountPixels(const Image& image, const Color& color) {
    int count = 0;
    for (int y = 0; y < image.GetHeight(); ++y)
      for (int x = 0; x < image.GetWidth(); ++x)
        if (image.GetPixel(x, y) == color) ++count;
    return count;
  }

  XMLLoadSave loader_;
  TiXmlElement* root_ = nullptr;
};

const Color kRed(255, 255, 0, 0);
const Color kBlue(255, 0, 0, 255);

}  // namespace

TEST_F(TextTest, SizesItselfOnePixelLargerThanItsText) {
  Text label(Label("Plain"));
  EXPECT_EQ(label.GetText(), "Tuner 440");
  label.CalculateSize();
  const Vabo::Rect box = label.GetFont()->MeasureString("Tuner 440");
  EXPECT_GT(box.width, 0);
  EXPECT_EQ(label.GetWidth(), box.width + 1);
  EXPECT_EQ(label.GetHeight(), box.height + 1);
  EXPECT_TRUE(label.IsSizedFromContent());
}

TEST_F(TextTest, CentredLabelUsesIntegerHalvesOfBothHeights) {
  Text label(Label("Centred"));
  label.SetPosition(10, 5);
  label.SetSize(100, 41);

  Image drawn(130, 60);
  Painter painter(drawn);
  EXPECT_TRUE(label.DrawSelf(painter));

  const auto& font = *label.GetFont();
  const int textHeight = font.MeasureRange("A4", -1, -1, -1.0f).height;
  const int y = 5 + (41 / 2 - textHeight / 2);
  Image expected(130, 60);
  Painter reference(expected);
  reference.DrawStringInRect(font, "A4", kRed, 10, static_cast<float>(y), 100, 41, Painter::Center,
                             Painter::TrimNone);
  EXPECT_TRUE(SamePixels(drawn, expected));

  // One row lower is a different picture: the comparison does see the row.
  Image shifted(130, 60);
  Painter other(shifted);
  other.DrawStringInRect(font, "A4", kRed, 10, static_cast<float>(y + 1), 100, 41, Painter::Center,
                         Painter::TrimNone);
  EXPECT_FALSE(SamePixels(drawn, shifted));
}

TEST_F(TextTest, AlignmentOtherThanExactlyCenteredStaysAtTheTopLeft) {
  Text label(Label("LowerCase"));
  label.SetPosition(0, 0);
  label.SetSize(100, 41);
  Image drawn(100, 41);
  Painter painter(drawn);
  label.DrawSelf(painter);

  Image expected(100, 41);
  Painter reference(expected);
  reference.DrawStringInRect(*label.GetFont(), "A4", kRed, 0, 0, 100, 41, Painter::Near,
                             Painter::TrimNone);
  EXPECT_TRUE(SamePixels(drawn, expected));
}

TEST_F(TextTest, EmptyLabelDrawsNothing) {
  Text label(Label("Plain"));
  label.SetSize(0, 20);
  Image drawn(40, 40);
  Painter painter(drawn);
  EXPECT_FALSE(label.DrawSelf(painter));
  EXPECT_EQ(CountPixels(drawn, Color(0, 0, 0, 0)), 40 * 40);
}

TEST_F(TextTest, SelectedLabelSwitchesToTheSelectedColour) {
  Text label(Label("Plain"));
  label.CalculateSize();
  Image normal(label.GetWidth(), label.GetHeight());
  Painter normalPainter(normal);
  label.DrawSelf(normalPainter);
  EXPECT_GT(CountPixels(normal, kRed), 10);
  EXPECT_EQ(CountPixels(normal, kBlue), 0);

  label.SetForceSelected(true);
  Image selected(label.GetWidth(), label.GetHeight());
  Painter selectedPainter(selected);
  label.DrawSelf(selectedPainter);
  EXPECT_EQ(CountPixels(selected, kRed), 0);
  EXPECT_EQ(CountPixels(selected, kBlue), CountPixels(normal, kRed));

  label.SetForceSelected(false);
  Image again(label.GetWidth(), label.GetHeight());
  Painter againPainter(again);
  label.DrawSelf(againPainter);
  EXPECT_TRUE(SamePixels(again, normal));
}

TEST_F(TextTest, StretchableFontFollowsTheRootsHeight) {
  Vabo::GridLayout root;
  root.SetTopLevel(true);
  root.SetSize(300, 200);
  Text label(Label("Stretchy"));
  root.AddChild(&label, false);

  label.SetSize(60, 30);
  EXPECT_FLOAT_EQ(label.GetFont()->GetPixelSize(), 20.0f);  // 10 % of 200
  EXPECT_FLOAT_EQ(label.GetFont()->GetSize(), 10.0f);
  const int small = label.GetFont()->MeasureString("Hz").height;

  root.SetSize(300, 400);
  label.SetSize(60, 60);
  EXPECT_FLOAT_EQ(label.GetFont()->GetPixelSize(), 40.0f);
  EXPECT_NEAR(label.GetFont()->MeasureString("Hz").height, 2 * small, 2);
  root.RemoveChild(&label, false);
}

TEST_F(TextTest, WrappedLabelCentresOnItsWrappedHeight) {
  Text2 label(Label("Wrapped"));
  EXPECT_EQ(label.GetMaxWidth(), 60);
  label.SetPosition(0, 0);
  label.SetSize(200, 120);
  Image drawn(200, 120);
  Painter painter(drawn);
  label.DrawSelf(painter);

  const auto& font = *label.GetFont();
  const int wrapped = font.MeasureRange(label.GetText(), -1, -1, 60.0f).height;
  EXPECT_GT(wrapped, font.MeasureRange(label.GetText(), -1, -1, -1.0f).height);
  Image expected(200, 120);
  Painter reference(expected);
  reference.DrawStringInRect(font, label.GetText(), kRed, 0, static_cast<float>(120 / 2 - wrapped / 2),
                             200, 120, Painter::Near, Painter::TrimNone);
  EXPECT_TRUE(SamePixels(drawn, expected));
}

TEST_F(TextTest, ALabelOnItsDefinitionKeepsItsOwnFont) {
  const std::string library = DllDocMapInstance().GetLibraryFolder();
  DllDocMapInstance().SetLibraryFolder(PELLORA_SOURCE_DIR "/lib/VABO/XML");
  Text label(loader_.ResolveBaseXML(Label("Derived")));
  DllDocMapInstance().SetLibraryFolder(library);
  EXPECT_EQ(label.GetText(), "Own font");
  EXPECT_FLOAT_EQ(label.GetFont()->GetSize(), 20.0f);
  EXPECT_EQ(label.GetFont()->GetStyle(), GdiplusGfxLayer::FontStyleBold);
}

TEST_F(TextTest, LabelWithoutFontIsNotBuilt) {
  EXPECT_THROW(Text label(Label("NoFont")), XMLLoadSave::XMLLoadSaveException);
}
