// Pictures named by "http://" addresses, served by a local HTTP server: read
// once and then from the cache, downloaded off the GUI thread, and failed
// downloads (404, oversize, truncated, not a picture, hanging, endless) leave
// no cache file and say why.
#include "framework/widgets/PictureDownload.h"

#include "support/TempFolder.h"
#include "support/Files.h"
#include "framework/widgets/Image.h"
#include "framework/widgets/PictureFetcher.h"
#include "platform/EventLoop.h"
#include "platform/Log.h"
#include "support/LoopbackHttpServer.h"

#include <gtest/gtest.h>


using TestSupport::LoopbackHttpServer;

namespace {

const std::string kShape = PELLORA_TEST_DATA "/gfx/alpha-shape.png";

using TestSupport::ReadFile;

class PictureDownload : public ::testing::Test {
protected:
    // Serves the event loop until every download has come back.
    static bool AllArrived()
    {
        for (int pass = 0; pass < 500 && Vabo::PictureFetcher::Instance().Pending() > 0; ++pass)
            Platform::EventLoop::Instance().RunOnce(20);
        return Vabo::PictureFetcher::Instance().Pending() == 0;
    }

    std::string Cache() const { return cache_.Path() + "/vintrel-pellora"; }

    TempFolder cache_{"XDG_CACHE_HOME"};
    const std::string picture_ = ReadFile(PELLORA_TEST_DATA "/gfx/quadrants.png");
    LoopbackHttpServer server_;
};

} // namespace

TEST_F(PictureDownload, DownloadsOnceThenReadsTheCache)
{
    server_.Serve("/pics/a.png", {200, picture_, "", -1});
    std::string first;
    ASSERT_TRUE(Vabo::DownloadPicture(server_.Url("/pics/a.png"), first));
    EXPECT_EQ(0u, first.find(Cache() + "/127.0.0.1_"));
    EXPECT_EQ(picture_, ReadFile(first));
    EXPECT_EQ(1, cache_.FilesIn("vintrel-pellora"));

    // A picture widget given the address shows the cached file.
    Vabo::Image image(kShape, true);
    ASSERT_TRUE(image.Load(server_.Url("/pics/a.png"), "", true));
    EXPECT_EQ(first, image.GetFileName());
    EXPECT_EQ(8, image.GetWidth());
    EXPECT_EQ(1, server_.Requests("/pics/a.png"));
}

TEST_F(PictureDownload, FailuresLeaveNoCacheFileAndSayWhy)
{
    server_.Serve("/big.png", {200, std::string(3000, 'x'), "", -1});
    server_.Serve("/cut.png", {200, picture_.substr(0, 20), "", static_cast<long>(picture_.size())});
    server_.Serve("/text.png", {200, "no picture here", "", -1});
    std::string huge = picture_;
    huge[18] = 0x75, huge[19] = 0x30; // declares 30000 pixels wide
    server_.Serve("/huge.png", {200, huge, "", -1});
    Platform::HttpFetchLimits limits;
    limits.maxBytes = 2048;
    Platform::LogCapture log;
    std::string file;
    EXPECT_FALSE(Vabo::DownloadPicture(server_.Url("/missing.png"), file, limits));
    EXPECT_TRUE(log.Contains("404"));
    EXPECT_FALSE(Vabo::DownloadPicture(server_.Url("/big.png"), file, limits));
    EXPECT_TRUE(log.Contains(server_.Url("/big.png")));
    EXPECT_FALSE(Vabo::DownloadPicture(server_.Url("/cut.png"), file, limits));
    EXPECT_TRUE(log.Contains(server_.Url("/cut.png")));
    EXPECT_FALSE(Vabo::DownloadPicture(server_.Url("/huge.png"), file, limits));
    EXPECT_TRUE(log.Contains("more than the limit of 8192 a side"));
    EXPECT_TRUE(file.empty());

    // A complete body that does not decode is never cached; the widget keeps its picture.
    Vabo::Image image(kShape, true);
    EXPECT_TRUE(image.Load(server_.Url("/text.png"), "", true)) << "the download starts";
    EXPECT_TRUE(image.Load(server_.Url("/missing.png"), "", true));
    ASSERT_TRUE(AllArrived());
    EXPECT_TRUE(log.Contains("not a picture"));
    EXPECT_EQ(kShape, image.GetFileName());
    EXPECT_EQ(6, image.GetWidth());
    EXPECT_EQ(0, cache_.FilesIn("vintrel-pellora"));
    EXPECT_EQ(2, server_.Requests("/missing.png")) << "a failed address is asked again next time";
}

TEST_F(PictureDownload, AHangingOrEndlessServerIsCutOffAndNeverStopsTheLoop)
{
    LoopbackHttpServer::Answer hang{200, "", "", -1, LoopbackHttpServer::Answer::Hang};
    LoopbackHttpServer::Answer endless{200, picture_, "", -1, LoopbackHttpServer::Answer::Endless};
    server_.Serve("/hang.png", hang);
    server_.Serve("/endless.png", endless);
    Platform::HttpFetchLimits limits;
    limits.maxBytes = 256 * 1024;
    limits.totalTimeoutMs = 300;
    Platform::LogCapture log;
    std::string file;
    EXPECT_FALSE(Vabo::DownloadPicture(server_.Url("/hang.png"), file, limits));
    EXPECT_TRUE(log.Contains(server_.Url("/hang.png")));
    EXPECT_FALSE(Vabo::DownloadPicture(server_.Url("/endless.png"), file, limits));
    EXPECT_TRUE(log.Contains("larger than 262144 bytes"));
    EXPECT_EQ(0, cache_.FilesIn("vintrel-pellora"));

    // The widget asks a server that never answers: the loop goes on serving
    // (a posted call runs) while the download still waits.
    Vabo::Image image(kShape, true);
    EXPECT_TRUE(image.Load(server_.Url("/hang.png"), "", true));
    bool served = false;
    Platform::EventLoop::Post([&] { served = true; });
    for (int pass = 0; pass < 500 && !served; ++pass)
        Platform::EventLoop::Instance().RunOnce(20);
    EXPECT_TRUE(served);
    EXPECT_EQ(1, Vabo::PictureFetcher::Instance().Pending()) << "still waiting for the server";
    EXPECT_EQ(kShape, image.GetFileName());
}

TEST_F(PictureDownload, AWidgetShowsItsPictureWhenItArrives)
{
    server_.Serve("/late.png", {200, picture_, "", -1});
    Vabo::Image image(kShape, true);
    ASSERT_TRUE(image.Load(server_.Url("/late.png"), "", true));
    EXPECT_EQ(kShape, image.GetFileName()) << "the old picture until the new one is here";
    ASSERT_TRUE(AllArrived());
    EXPECT_EQ(0u, image.GetFileName().find(Cache() + "/127.0.0.1_"));
    EXPECT_EQ(8, image.GetWidth());
}
