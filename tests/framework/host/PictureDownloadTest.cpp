#include "framework/host/PictureDownload.h"

#include "platform/Log.h"
#include "support/LoopbackHttpServer.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fstream>
#include <sstream>

using TestSupport::LoopbackHttpServer;

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
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

class PictureDownload : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/pellora-download.XXXXXX";
        root_ = mkdtemp(pattern);
        if (const char* old = std::getenv("XDG_CACHE_HOME"))
            old_ = old;
        setenv("XDG_CACHE_HOME", root_.c_str(), 1);
        picture_ = ReadFile(PELLORA_TEST_DATA "/gfx/quadrants.png");
    }
    void TearDown() override
    {
        if (old_.empty())
            unsetenv("XDG_CACHE_HOME");
        else
            setenv("XDG_CACHE_HOME", old_.c_str(), 1);
        std::system(("rm -rf '" + root_ + "'").c_str());
    }
    std::string Cache() const { return root_ + "/vintrel-pellora"; }

    std::string root_;
    std::string old_;
    std::string picture_;
};

} // namespace

TEST_F(PictureDownload, DownloadsOnceThenReadsTheCache)
{
    LoopbackHttpServer server;
    server.Serve("/pics/a.png", {200, picture_, "", -1});
    std::string first, second;
    ASSERT_TRUE(Vabo::DownloadPicture(server.Url("/pics/a.png"), first));
    EXPECT_EQ(0u, first.find(Cache() + "/127.0.0.1_"));
    EXPECT_EQ(picture_, ReadFile(first));
    ASSERT_TRUE(Vabo::DownloadPicture(server.Url("/pics/a.png"), second));
    EXPECT_EQ(first, second);
    EXPECT_EQ(1, server.Requests("/pics/a.png"));
    EXPECT_EQ(1, FilesIn(Cache()));
}

TEST_F(PictureDownload, FailuresLeaveNoCacheFileAndSayWhy)
{
    LoopbackHttpServer server;
    server.Serve("/big.png", {200, std::string(3000, 'x'), "", -1});
    server.Serve("/cut.png", {200, picture_.substr(0, 20), "", static_cast<long>(picture_.size())});
    Platform::HttpFetchLimits limits;
    limits.maxBytes = 2048;
    Platform::LogCapture log;
    std::string file;
    EXPECT_FALSE(Vabo::DownloadPicture(server.Url("/missing.png"), file, limits));
    EXPECT_TRUE(log.Contains("404"));
    EXPECT_FALSE(Vabo::DownloadPicture(server.Url("/big.png"), file, limits));
    EXPECT_TRUE(log.Contains(server.Url("/big.png")));
    EXPECT_FALSE(Vabo::DownloadPicture(server.Url("/cut.png"), file, limits));
    EXPECT_TRUE(log.Contains(server.Url("/cut.png")));
    EXPECT_TRUE(file.empty());
    EXPECT_EQ(0, FilesIn(Cache()));
    // A failed address is asked again next time: nothing was cached.
    EXPECT_FALSE(Vabo::DownloadPicture(server.Url("/missing.png"), file, limits));
    EXPECT_EQ(2, server.Requests("/missing.png"));
}
