// The picture widget: built from XML, sized to each picture's own size,
// sharing scaled copies, drawn whole or in part, keeping its picture when a
// new one fails, and trying the JPEG beside a name first.
#include "framework/widgets/Image.h"

#include "support/TempFolder.h"
#include "framework/drawing/Painter.h"
#include "platform/Log.h"
#include "tests/framework/drawing/PixelExpect.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include "framework/core/InputSignals.h"
#include "platform/Clock.h"
#include <tinyxml.h>

#include <fstream>

using GdiplusGfxLayer::Color;

namespace {

const std::string kQuadrants = PELLORA_TEST_DATA "/gfx/quadrants.png";
const std::string kShape = PELLORA_TEST_DATA "/gfx/alpha-shape.png";
const std::string kBad = PELLORA_TEST_DATA "/gfx/not-a-picture.png";

std::unique_ptr<TiXmlDocument> Parse(const std::string& text)
{
    auto document = std::make_unique<TiXmlDocument>();
    document->Parse(text.c_str());
    return document;
}

} // namespace

TEST(ImageWidget, BuiltFromXmlWithItsInterpolationAndFailsWithoutAPicture)
{
    auto doc = Parse("<Vabo::Image ImageFile=\"" + kQuadrants + "\" InterpMode=\"NearestNeighbor\" />");
    Vabo::Image image(doc->RootElement());
    EXPECT_TRUE(image.IsImage());
    EXPECT_EQ(kQuadrants, image.GetFileName());
    EXPECT_EQ(5, image.GetInterpolationMode());
    EXPECT_TRUE(image.IsScaled());

    auto other = Parse("<Vabo::Image Filename=\"" + kQuadrants + "\" InterpMode=\"Sharpest\" />");
    Vabo::Image fallback(other->RootElement());
    EXPECT_EQ(kQuadrants, fallback.GetFileName());
    EXPECT_EQ(7, fallback.GetInterpolationMode());

    Platform::LogCapture log;
    auto missing = Parse("<Vabo::Image />");
    EXPECT_THROW(Vabo::Image image(missing->RootElement()), XMLLoadSave::XMLLoadSaveException);
    auto broken = Parse("<Vabo::Image ImageFile=\"" + kBad + "\" />");
    EXPECT_THROW(Vabo::Image image(broken->RootElement()), XMLLoadSave::XMLLoadSaveException);
    EXPECT_TRUE(log.Contains("Image: failed to load image"));
}

TEST(ImageWidget, SizesToEachPicturesOwnSizeSharesCopiesAndKeepsItOnFailure)
{
    Vabo::Image quadrants(kQuadrants, true);
    EXPECT_EQ(8, quadrants.GetWidth());
    EXPECT_EQ(8, quadrants.GetHeight());
    Vabo::Image shape(kShape, true);
    EXPECT_EQ(6, shape.GetWidth());
    EXPECT_EQ(4, shape.GetHeight());
    ASSERT_TRUE(quadrants.SetImage(kShape, true));
    EXPECT_EQ(6, quadrants.GetWidth());

    Vabo::Image a(kQuadrants, true);
    Vabo::Image b(kQuadrants, true);
    a.SetSize(20, 10);
    b.SetSize(20, 10);
    EXPECT_EQ(a.GetScaledPicture(), b.GetScaledPicture());
    EXPECT_EQ(20, a.GetScaledPicture()->GetWidth());

    Platform::LogCapture log;
    EXPECT_FALSE(a.SetImage(kBad, true));
    EXPECT_TRUE(log.Contains("Vabo::Image::SetImage : Failed to create image " + kBad));
    EXPECT_EQ(kQuadrants, a.GetFileName());
    EXPECT_EQ(20, a.GetScaledPicture()->GetWidth());
}

TEST(ImageWidget, DrawsItsPictureScaledAtItsPlaceOrAPartOfIt)
{
    auto doc = Parse("<Vabo::Image ImageFile=\"" + kQuadrants + "\" InterpMode=\"NearestNeighbor\" />");
    Vabo::Image image(doc->RootElement());
    image.SetPosition(4, 2);
    image.SetSize(16, 16);
    GdiplusGfxLayer::Image target(30, 30);
    GdiplusGfxLayer::Painter painter(target);
    ASSERT_TRUE(image.DrawSelf(painter));
    EXPECT_TRUE(PixelNear(target, 4, 2, Color(255, 255, 0, 0), 0));
    EXPECT_TRUE(PixelNear(target, 19, 2, Color(255, 0, 255, 0), 0));
    EXPECT_TRUE(PixelNear(target, 4, 17, Color(255, 0, 0, 255), 0));
    EXPECT_TRUE(PixelNear(target, 20, 2, Color(0, 0, 0, 0), 0));

    // A part of it, measured in the widget's pixels.
    GdiplusGfxLayer::Image part(8, 8);
    GdiplusGfxLayer::Painter partPainter(part);
    Vabo::Rect source{8, 8, 8, 8};
    ASSERT_TRUE(image.DrawInto(partPainter, source, Vabo::Rect{0, 0, 8, 8}));
    EXPECT_TRUE(PixelNear(part, 4, 4, Color(255, 255, 255, 255), 0));

    // Unscaled widgets stretch the natural picture; source rectangles are
    // turned into the picture's pixels.
    Vabo::Image unscaled(kQuadrants, false);
    EXPECT_EQ(8, unscaled.GetPicture()->GetWidth());
    EXPECT_EQ(nullptr, unscaled.GetScaledPicture());
    unscaled.SetSize(4, 4);
    GdiplusGfxLayer::Image stretched(8, 8);
    GdiplusGfxLayer::Painter stretchedPainter(stretched);
    Vabo::Rect half{2, 0, 2, 2};
    ASSERT_TRUE(unscaled.DrawInto(stretchedPainter, half, Vabo::Rect{0, 0, 4, 4}));
    EXPECT_EQ((Vabo::Rect{4, 0, 4, 4}), half);
    EXPECT_TRUE(PixelNear(stretched, 1, 1, Color(255, 0, 255, 0), 0));
}

TEST(ImageWidget, LoadTriesTheJpegBesideTheNameFirst)
{
    TempFolder folder;
    SDL_Surface* surface = IMG_Load(kQuadrants.c_str());
    ASSERT_TRUE(surface);
    ASSERT_EQ(0, IMG_SaveJPG(surface, (folder.Path() + "/pic.jpg").c_str(), 95));
    SDL_FreeSurface(surface);
    std::ofstream(folder.Path() + "/pic") << "not a picture";

    Vabo::Image image(kShape, true);
    ASSERT_TRUE(image.Load("pic", folder.Path() + "/", true));
    EXPECT_EQ(folder.Path() + "/pic.jpg", image.GetFileName());
    EXPECT_EQ(8, image.GetWidth());
    EXPECT_GT(image.GetPicture()->GetPixel(1, 1).GetRed(), 200);

    // Without a JPEG the name is used as given.
    ASSERT_TRUE(image.Load(kShape, folder.Path() + "/", true));
    EXPECT_EQ(kShape, image.GetFileName());
}

TEST(ImageWidget, NestedObjectsComposeOffsetsAndOpacities)
{
    Vabo::GuiObject window(1, 0);
    window.SetTopLevel(true);
    window.SetSize(40, 40);
    Vabo::GuiObject panel(1, 0);
    panel.SetPosition(10, 5);
    panel.SetSize(20, 20);
    panel.SetAlpha(0.5f);
    Vabo::Image image(kQuadrants, true);
    image.SetPosition(2, 3);
    image.SetAlpha(0.5f);
    window.AddChild(&panel, false);
    panel.AddChild(&image, false);

    GdiplusGfxLayer::Image target(40, 40);
    GdiplusGfxLayer::Painter painter(target);
    painter.FillRect({0, 0, 40, 40}, Color(255, 255, 255, 255));
    ASSERT_TRUE(window.Render(painter));
    // Red at a quarter over white, at (10 + 2, 5 + 3).
    EXPECT_TRUE(PixelNear(target, 12, 8, Color(255, 255, 191, 191)));
    EXPECT_TRUE(PixelNear(target, 11, 8, Color(255, 255, 255, 255), 0));
    EXPECT_TRUE(PixelNear(target, 20, 16, Color(255, 255, 255, 255), 0));
    EXPECT_FLOAT_EQ(1.0f, painter.GetOpacity());
}

TEST(ImageWidget, AWidgetBeingResizedDrawsQuickCopiesAndItsResolvedSizeAtQuality)
{
    Platform::ManualClock clock(5000);
    Vabo::Image image(kQuadrants, true);
    const auto newest = [] { return Vabo::DllGfxLayerImageServerInstance().GetEntries(kQuadrants)->back(); };
    image.SetSize(21, 21);
    image.GetScaledPicture();
    EXPECT_FALSE(newest()->quick) << "a first size is drawn at quality at once";
    image.SetSize(23, 23);
    image.GetScaledPicture();
    EXPECT_TRUE(newest()->quick);
    clock.Advance(100);
    image.GetScaledPicture();
    EXPECT_TRUE(newest()->quick) << "still settling";
    clock.Advance(200);
    Vabo::Signal::Timer tick;
    image.SendToSelf(&tick);
    image.GetScaledPicture();
    EXPECT_FALSE(newest()->quick);
    EXPECT_EQ(23, newest()->width);
}

TEST(ImageWidget, TheCopyAWidgetDrawsStaysWhileAnotherWidgetOfItsPictureIsResizedAndLittleElseStays)
{
    Platform::ManualClock clock(5000);
    Vabo::Image still(kShape, true);
    still.SetSize(30, 20);
    const std::weak_ptr<GdiplusGfxLayer::Image> drawn = still.GetScaledPicture();
    Vabo::Image resized(kShape, true);
    for (int step = 1; step <= 20; ++step) {
        clock.Advance(25);
        resized.SetSize(700 + step, 700 + step);
        resized.GetScaledPicture();
    }
    EXPECT_EQ(drawn.lock(), still.GetScaledPicture()) << "the still widget's copy was scaled again";
    // The sizes the resize passed through: within the server's 4 MB.
    std::size_t passingBytes = 0;
    for (const auto& entry : *Vabo::DllGfxLayerImageServerInstance().GetEntries(kShape))
        if (entry->picture != still.GetScaledPicture() && entry->picture != resized.GetScaledPicture())
            passingBytes += static_cast<std::size_t>(entry->width) * entry->height * 4;
    EXPECT_LE(passingBytes, 4u * 1024 * 1024);
}

TEST(ImageWidget, WhileItsSizeChangesAWidgetDrawsItsPictureWithoutMakingCopies)
{
    const std::string stripes = PELLORA_TEST_DATA "/windows/Stripes.png";
    Platform::ManualClock clock(5000);
    Vabo::Image image(stripes, true);
    image.SetPosition(3, 4);
    image.SetSize(50, 40);
    GdiplusGfxLayer::Image target(200, 200);
    GdiplusGfxLayer::Painter painter(target);
    ASSERT_TRUE(image.DrawSelf(painter));
    const auto copyOfSize = [&stripes](int width, int height) -> std::shared_ptr<Vabo::GfxLayerImageServer_::ImageCache> {
        for (const auto& entry : *Vabo::DllGfxLayerImageServerInstance().GetEntries(stripes))
            if (entry->width == width && entry->height == height)
                return entry;
        return nullptr;
    };
    ASSERT_TRUE(copyOfSize(50, 40)) << "a first size is drawn from a copy at once";
    for (int step = 1; step <= 10; ++step) {
        clock.Advance(25);
        image.SetSize(50 + 7 * step, 40 + 5 * step);
        ASSERT_TRUE(image.DrawSelf(painter));
        EXPECT_FALSE(copyOfSize(image.GetWidth(), image.GetHeight())) << "step " << step;
    }
    EXPECT_TRUE(PixelNear(target, 3 + 60, 4 + 45, image.GetPicture()->GetPixel(50, 101), 0));

    // At rest, a copy at the widget's quality.
    clock.Advance(300);
    Vabo::Signal::Timer tick;
    image.SendToSelf(&tick);
    ASSERT_TRUE(image.DrawSelf(painter));
    const auto settled = copyOfSize(120, 90);
    ASSERT_TRUE(settled);
    EXPECT_FALSE(settled->quick);
}
