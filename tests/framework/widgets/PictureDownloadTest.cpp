// Pictures named by "http://" addresses, served by a local HTTP server: read
// once and then from the cache, and failed downloads (404, oversize, truncated,
// not a picture) leave no cache file and say why.
#include "framework/widgets/PictureDownload.h"

#include "support/TempFolder.h"
#include "framework/widgets/Image.h"
#include "platform/Log.h"
#include "support/LoopbackHttpServer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using TestSupport::LoopbackHttpServer;

namespace {

const std::string kShape = PELLORA_TEST_DATA "/gfx/alpha-shape.png";

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

class PictureDownload : public ::testing::Test {
protected:
    std::string Cache() const { return cache_.Path() + "/vintrel-pellora"; }

    TempFolder cache_{true};
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
    EXPECT_TRUE(file.empty());

    // A complete body that does not decode is deleted; the widget keeps its picture.
    Vabo::Image image(kShape, true);
    EXPECT_FALSE(image.Load(server_.Url("/text.png"), "", true));
    EXPECT_FALSE(image.Load(server_.Url("/missing.png"), "", true));
    EXPECT_TRUE(log.Contains("not a picture"));
    EXPECT_EQ(kShape, image.GetFileName());
    EXPECT_EQ(6, image.GetWidth());
    EXPECT_EQ(0, cache_.FilesIn("vintrel-pellora"));
    EXPECT_EQ(2, server_.Requests("/missing.png")) << "a failed address is asked again next time";
}
