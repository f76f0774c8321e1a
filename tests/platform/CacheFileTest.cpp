#include "platform/CacheFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        closedir(dir);
    }
    return names;
}

class CacheFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/pellora-cache-test.XXXXXX";
        root_ = mkdtemp(pattern);
        const char* old = std::getenv("XDG_CACHE_HOME");
        hadOld_ = old != nullptr;
        if (hadOld_)
            old_ = old;
        setenv("XDG_CACHE_HOME", root_.c_str(), 1);
    }
    void TearDown() override
    {
        if (hadOld_)
            setenv("XDG_CACHE_HOME", old_.c_str(), 1);
        else
            unsetenv("XDG_CACHE_HOME");
        std::system(("rm -rf '" + root_ + "'").c_str());
    }
    std::string root_;
    std::string old_;
    bool hadOld_ = false;
};

} // namespace

TEST_F(CacheFileTest, FolderIsMadeUnderXdgCacheHome)
{
    std::string error;
    EXPECT_EQ(root_ + "/vintrel-pellora", Platform::CacheFolder(error)) << error;
    EXPECT_EQ(root_ + "/vintrel-pellora", Platform::CacheFolder(error)) << error;
}

TEST_F(CacheFileTest, NamesAreCleanShortAndDistinct)
{
    const std::string a = Platform::CacheFileName("http://host/pic/a.png?x=1");
    const std::string b = Platform::CacheFileName("http://host/pic_a.png?x=1");
    EXPECT_EQ(0u, a.find("host_pic_a.png_x_1-"));
    EXPECT_NE(a, b);
    EXPECT_EQ(a, Platform::CacheFileName("http://host/pic/a.png?x=1"));
    const std::string longName = Platform::CacheFileName("http://host/" + std::string(500, 'q') + "\xC3\xA9");
    EXPECT_LT(longName.size(), 120u);
    for (char c : longName)
        EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-') << c;
}

TEST_F(CacheFileTest, WritesThroughATemporaryFileAndLeavesNothingOnFailure)
{
    std::string error;
    const std::string folder = Platform::CacheFolder(error);
    ASSERT_TRUE(Platform::WriteFileAtomically(folder + "/one", "abc", error)) << error;
    std::ifstream in(folder + "/one");
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ("abc", content.str());
    EXPECT_EQ(std::vector<std::string>{"one"}, FilesIn(folder));

    EXPECT_FALSE(Platform::WriteFileAtomically(folder + "/missing-folder/two", "abc", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(std::vector<std::string>{"one"}, FilesIn(folder));
}
