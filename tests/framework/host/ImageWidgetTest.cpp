#include "framework/host/Image.h"

#include "framework/host/GdiplusGfxLayer/Painter.h"
#include "platform/Log.h"
#include "support/LoopbackHttpServer.h"
#include "tests/framework/host/GdiplusGfxLayer/PixelExpect.h"

#include <SDL_image.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <dirent.h>
#include <fstream>
#include <sstream>

using GdiplusGfxLayer::Color;
using TestSupport::LoopbackHttpServer;

namespace {

const std::string kQuadrants = PELLORA_TEST_DATA "/gfx/quadrants.png";
const std::string kShape = PELLORA_TEST_DATA "/gfx/alpha-shape.png";

std::unique_ptr<TiXmlDocument> Parse(const std::string& text)
{
    auto document = std::make_unique<TiXmlDocument>();
    document->Parse(text.c_str());
    return document;
}

int FilesIn(const std::string& folder)
{
    int count = 0;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir))
            count += entry->d_name[0] != '.';
        closedir(dir);
    }
    return count;
}

class TempFolder {
public:
    TempFolder()
    {
        char pattern[] = "/tmp/pellora-image.XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempFolder() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

} // namespace

TEST(ImageWidget, BuiltFromXmlWithItsInterpolation)
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
}

TEST(ImageWidget, XmlWithoutAPictureFails)
{
    Platform::LogCapture log;
    auto missing = Parse("<Vabo::Image />");
    EXPECT_THROW(Vabo::Image image(missing->RootElement()), XMLLoadSave::XMLLoadSaveException);
    auto broken = Parse("<Vabo::Image ImageFile=\"" PELLORA_TEST_DATA "/gfx/not-a-picture.png\" />");
    EXPECT_THROW(Vabo::Image image(broken->RootElement()), XMLLoadSave::XMLLoadSaveException);
    EXPECT_TRUE(log.Contains("Image: failed to load image"));
}

TEST(ImageWidget, SizesToEachPicturesOwnSize)
{
    Vabo::Image quadrants(kQuadrants, true);
    EXPECT_EQ(8, quadrants.GetWidth());
    EXPECT_EQ(8, quadrants.GetHeight());
    Vabo::Image shape(kShape, true);
    EXPECT_EQ(6, shape.GetWidth());
    EXPECT_EQ(4, shape.GetHeight());
    ASSERT_TRUE(quadrants.SetImage(kShape, true));
    EXPECT_EQ(6, quadrants.GetWidth());
}

TEST(ImageWidget, WidgetsOfOneFileAndSizeShareTheirPicture)
{
    Vabo::Image a(kQuadrants, true);
    Vabo::Image b(kQuadrants, true);
    a.SetSize(20, 10);
    b.SetSize(20, 10);
    EXPECT_EQ(a.GetScaledPicture(), b.GetScaledPicture());
    EXPECT_EQ(20, a.GetScaledPicture()->GetWidth());
}

TEST(ImageWidget, DrawsItsPictureScaledAtItsPlace)
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
}

TEST(ImageWidget, UnscaledWidgetsStretchTheNaturalPicture)
{
    Vabo::Image image(kQuadrants, false);
    EXPECT_FALSE(image.IsScaled());
    EXPECT_EQ(8, image.GetPicture()->GetWidth());
    EXPECT_EQ(nullptr, image.GetScaledPicture());
    image.SetSize(4, 4);
    // Source rectangles are turned into the picture's pixels.
    GdiplusGfxLayer::Image target(8, 8);
    GdiplusGfxLayer::Painter painter(target);
    Vabo::Rect source{2, 0, 2, 2};
    ASSERT_TRUE(image.DrawInto(painter, source, Vabo::Rect{0, 0, 4, 4}));
    EXPECT_EQ((Vabo::Rect{4, 0, 4, 4}), source);
    EXPECT_TRUE(PixelNear(target, 1, 1, Color(255, 0, 255, 0), 0));
}

TEST(ImageWidget, AFailedPictureKeepsThePreviousOne)
{
    Platform::LogCapture log;
    Vabo::Image image(kQuadrants, true);
    const std::string bad = PELLORA_TEST_DATA "/gfx/not-a-picture.png";
    EXPECT_FALSE(image.SetImage(bad, true));
    EXPECT_TRUE(log.Contains("Vabo::Image::SetImage : Failed to create image " + bad));
    EXPECT_EQ(kQuadrants, image.GetFileName());
    EXPECT_EQ(8, image.GetWidth());
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

class ImageDownload : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const char* old = std::getenv("XDG_CACHE_HOME"))
            old_ = old;
        setenv("XDG_CACHE_HOME", cache_.Path().c_str(), 1);
        std::ifstream in(kQuadrants, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        picture_ = bytes.str();
    }
    void TearDown() override
    {
        if (old_.empty())
            unsetenv("XDG_CACHE_HOME");
        else
            setenv("XDG_CACHE_HOME", old_.c_str(), 1);
    }
    std::string CacheFolder() const { return cache_.Path() + "/vintrel-pellora"; }

    TempFolder cache_;
    std::string old_;
    std::string picture_;
};

TEST_F(ImageDownload, APictureIsDownloadedOnceThenReadFromTheCache)
{
    LoopbackHttpServer server;
    server.Serve("/skin/q.png", {200, picture_, "", -1});
    Vabo::Image first(kShape, true);
    ASSERT_TRUE(first.Load(server.Url("/skin/q.png"), "", true));
    EXPECT_EQ(8, first.GetWidth());
    EXPECT_EQ(0u, first.GetFileName().find(CacheFolder() + "/"));
    Vabo::Image second(kShape, true);
    ASSERT_TRUE(second.Load(server.Url("/skin/q.png"), "", true));
    EXPECT_EQ(first.GetFileName(), second.GetFileName());
    EXPECT_EQ(1, server.Requests("/skin/q.png"));
}

TEST_F(ImageDownload, FailedDownloadsKeepThePictureAndLeaveNoCacheFile)
{
    LoopbackHttpServer server;
    server.Serve("/text.png", {200, "no picture here", "", -1});
    server.Serve("/cut.png", {200, picture_.substr(0, 30), "", static_cast<long>(picture_.size())});
    Platform::LogCapture log;
    Vabo::Image image(kShape, true);
    EXPECT_FALSE(image.Load(server.Url("/missing.png"), "", true));
    EXPECT_FALSE(image.Load(server.Url("/cut.png"), "", true));
    EXPECT_FALSE(image.Load(server.Url("/text.png"), "", true));
    EXPECT_TRUE(log.Contains("not a picture"));
    EXPECT_EQ(kShape, image.GetFileName());
    EXPECT_EQ(6, image.GetWidth());
    EXPECT_EQ(0, FilesIn(CacheFolder()));
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
    EXPECT_TRUE(PixelNear(target, 19, 15, Color(255, 255, 255, 255)));
    EXPECT_TRUE(PixelNear(target, 20, 16, Color(255, 255, 255, 255), 0));
    EXPECT_FLOAT_EQ(1.0f, painter.GetOpacity());
}
