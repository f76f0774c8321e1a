#include "framework/widgets/GfxLayerImageServer.h"

#include "support/TempFolder.h"
#include "framework/core/DocMap.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using Vabo::GfxLayerImageServer_;

namespace {

const std::string kQuadrants = PELLORA_TEST_DATA "/gfx/quadrants.png";
const std::string kShape = PELLORA_TEST_DATA "/gfx/alpha-shape.png";

std::vector<std::pair<int, int>> Sizes(const GfxLayerImageServer_& server, const std::string& path)
{
    std::vector<std::pair<int, int>> sizes;
    if (const auto* entries = server.GetEntries(path))
        for (const auto& entry : *entries)
            sizes.emplace_back(entry->width, entry->height);
    return sizes;
}

} // namespace

TEST(GfxLayerImageServer, SharesOnePicturePerPathAndSizeAndKeepsEachNaturalSize)
{
    Platform::ManualClock clock;
    GfxLayerImageServer_ server;
    const auto a = server.GetImage(true, kQuadrants, 16, 12, 7);
    EXPECT_EQ(a, server.GetImage(true, kQuadrants, 16, 12, 7));
    EXPECT_EQ(16, a->GetWidth());
    EXPECT_EQ(12, a->GetHeight());
    const auto c = server.GetImage(true, kQuadrants, 4, 4, 7);
    EXPECT_NE(a, c);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{16, 12}, {4, 4}}), Sizes(server, kQuadrants));
    EXPECT_EQ(2, server.GetEntries(kQuadrants)->front()->useCount);
    EXPECT_EQ(c, server.GetImage(false, kQuadrants, 16, 12, 0)) << "a non-exact request takes the newest copy";

    const auto quadrants = server.GetImage(true, kQuadrants, -1, -1, 0);
    const auto shape = server.GetImage(true, kShape, 0, 0, 0);
    EXPECT_EQ(8, quadrants->GetWidth());
    EXPECT_EQ(8, quadrants->GetHeight());
    EXPECT_EQ(6, shape->GetWidth());
    EXPECT_EQ(4, shape->GetHeight());
    EXPECT_EQ(quadrants, server.GetImage(true, kQuadrants, 0, 0, 0));
}

TEST(GfxLayerImageServer, CopiesOfOtherSizesAgeOutAfterFiveSecondsButNeverTheLast)
{
    Platform::ManualClock clock;
    GfxLayerImageServer_ server;
    const auto held = server.GetImage(true, kQuadrants, 10, 10, 0);
    server.GetImage(true, kQuadrants, 20, 20, 0);
    clock.Advance(5000);
    // Used exactly 5.0 seconds ago: kept.
    server.GetImage(true, kQuadrants, 30, 30, 0);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{10, 10}, {20, 20}, {30, 30}}), Sizes(server, kQuadrants));
    clock.Advance(1);
    server.GetImage(true, kQuadrants, 30, 30, 0);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{30, 30}}), Sizes(server, kQuadrants));
    // The dropped copy still lives for whoever holds it.
    EXPECT_EQ(10, held->GetWidth());

    // The only copy of a path is never dropped, however old.
    clock.Advance(60000);
    server.GetImage(true, kQuadrants, 40, 40, 0);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{30, 30}, {40, 40}}), Sizes(server, kQuadrants));
}

TEST(GfxLayerImageServer, DecodesEachFileOnceForAllSizes)
{
    Platform::ManualClock clock;
    TempFolder folder;
    const std::string copy = folder.Path() + "/copy.png";
    {
        std::ifstream in(kQuadrants, std::ios::binary);
        std::ofstream out(copy, std::ios::binary);
        out << in.rdbuf();
    }
    GfxLayerImageServer_ server;
    server.GetImage(true, copy, 8, 8, 0);
    ASSERT_EQ(0, std::remove(copy.c_str()));
    const auto scaled = server.GetImage(true, copy, 2, 2, 5);
    EXPECT_EQ(GdiplusGfxLayer::Color(255, 0, 0, 255), scaled->GetPixel(0, 1));
    EXPECT_EQ(8, server.GetImage(true, copy, -1, -1, 0)->GetWidth());
}

TEST(GfxLayerImageServer, AFileThatCannotBeDecodedThrowsAndLeavesNoEntry)
{
    Platform::ManualClock clock;
    GfxLayerImageServer_ server;
    const std::string bad = PELLORA_TEST_DATA "/gfx/not-a-picture.png";
    EXPECT_THROW(server.GetImage(true, bad, 5, 5, 0), GdiplusGfxLayer::Image::InvalidImageException);
    EXPECT_THROW(server.GetImage(true, bad, -1, -1, 0), GdiplusGfxLayer::Image::InvalidImageException);
    EXPECT_EQ(nullptr, server.GetEntries(bad));
}

TEST(GfxLayerImageServer, ResolvesLibraryRelativeAndAbsolutePaths)
{
    _DocMap& docs = DllDocMapInstance();
    const std::string oldApp = docs.GetAppFolder();
    const std::string oldLib = docs.GetLibraryFolder();
    docs.SetAppFolder("/skins/app");
    docs.SetLibraryFolder("/skins/lib");

    const std::pair<std::string, std::string> rows[] = {
        {"$VABO/Objects/Image/a.png", "/skins/lib//Objects/Image/a.png"},
        {"Pictures/a.png", "/skins/app/Pictures/a.png"},
        {"/data/a.png", "/data/a.png"},
    };
    for (const auto& [given, resolved] : rows) {
        std::string path = given;
        GfxLayerImageServer_::ResolvePath(path);
        EXPECT_EQ(resolved, path);
    }

    docs.SetAppFolder(oldApp);
    docs.SetLibraryFolder(oldLib);
}

TEST(GfxLayerImageServer, QuickCopiesAreScaledAgainAtLeisureAndAPathKeepsAtMostThreeCopies)
{
    // A resize asks for a new size on every step, each copy used at once.
    Platform::ManualClock clock;
    GfxLayerImageServer_ server;
    for (int step = 1; step <= 60; ++step) {
        clock.Advance(16);
        server.GetImage(true, kQuadrants, 10 + step, 10 + step, 7, true);
    }
    EXPECT_EQ((std::vector<std::pair<int, int>>{{68, 68}, {69, 69}, {70, 70}}), Sizes(server, kQuadrants));
    EXPECT_TRUE(server.GetEntries(kQuadrants)->back()->quick);

    // The size at rest: the same copy, scaled again with the asked mode.
    const auto settled = server.GetImage(true, kQuadrants, 70, 70, 7);
    EXPECT_FALSE(server.GetEntries(kQuadrants)->back()->quick);
    EXPECT_EQ(70, settled->GetWidth());
    EXPECT_EQ(settled, server.GetImage(true, kQuadrants, 70, 70, 7));
    EXPECT_EQ(3u, server.GetEntries(kQuadrants)->size());
}

TEST(GfxLayerImageServer, EverySizeDrawnOnEveryFrameKeepsItsCopyUpToAMemoryCap)
{
    struct Case {
        int sizesPerFrame;
        std::size_t copiesKept;
        int scaledInLastFrames; // copies made in the last five of twenty frames
    };
    const Case cases[] = {{2, 2, 0}, {4, 4, 0}, {7, 7, 0}, {16, 16, 0}, {20, 16, 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.sizesPerFrame) + " sizes a frame");
        Platform::ManualClock clock;
        GfxLayerImageServer_ server;
        std::vector<GfxLayerImageServer_::Picture> last(static_cast<std::size_t>(c.sizesPerFrame));
        int scaled = 0;
        for (int frame = 0; frame < 20; ++frame) {
            clock.Advance(16);
            for (int i = 0; i < c.sizesPerFrame; ++i) {
                const auto picture = server.GetImage(true, kQuadrants, 10 + i, 10 + i, 7);
                if (frame >= 15 && picture != last[static_cast<std::size_t>(i)])
                    ++scaled;
                last[static_cast<std::size_t>(i)] = picture;
            }
        }
        EXPECT_EQ(c.copiesKept, server.GetEntries(kQuadrants)->size());
        EXPECT_EQ(c.scaledInLastFrames, scaled);
    }
}

TEST(GfxLayerImageServer, AResizeScalesEachSizeOnceAndLeavesOnlyTheHeldSizesAndAFewMegabytes)
{
    // Widgets sharing a picture, each holding the copy it draws, resized step
    // by step; each step draws every widget twice (the frame and the
    // window's outline).
    struct Case {
        int widgets;
        int steps;
    };
    const Case cases[] = {{1, 60}, {3, 30}, {6, 20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.widgets) + " widgets");
        Platform::ManualClock clock;
        GfxLayerImageServer_ server;
        std::vector<GfxLayerImageServer_::Picture> held(static_cast<std::size_t>(c.widgets));
        int scaledTwice = 0;
        for (int step = 1; step <= c.steps; ++step) {
            clock.Advance(25);
            for (int i = 0; i < c.widgets; ++i) {
                const int side = 400 + 10 * step + i;
                auto& picture = held[static_cast<std::size_t>(i)];
                picture.reset(); // a widget lets go of its old size first
                picture = server.GetImage(true, kQuadrants, side, side, 7, true);
                if (picture != server.GetImage(true, kQuadrants, side, side, 7, true))
                    ++scaledTwice;
            }
        }
        EXPECT_EQ(0, scaledTwice);
        std::size_t passingBytes = 0;
        int heldKept = 0;
        for (const auto& entry : *server.GetEntries(kQuadrants)) {
            if (std::find(held.begin(), held.end(), entry->picture) != held.end())
                ++heldKept;
            else
                passingBytes += static_cast<std::size_t>(entry->width) * entry->height * 4;
        }
        EXPECT_EQ(c.widgets, heldKept);
        EXPECT_LE(passingBytes, 4u * 1024 * 1024);
    }
}
