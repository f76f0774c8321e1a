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

} // namespace

TEST(CacheFile, NamesAreCleanShortAndDistinct)
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

TEST(CacheFile, FolderUnderXdgCacheHomeIsWrittenThroughATemporaryFileLeavingNothingOnFailure)
{
    char pattern[] = "/tmp/pellora-cache-test.XXXXXX";
    const std::string root = mkdtemp(pattern);
    const char* old = std::getenv("XDG_CACHE_HOME");
    const std::string oldValue = old ? old : "";
    setenv("XDG_CACHE_HOME", root.c_str(), 1);

    std::string error;
    const std::string folder = Platform::CacheFolder(error);
    EXPECT_EQ(root + "/vintrel-pellora", folder) << error;
    EXPECT_EQ(folder, Platform::CacheFolder(error)) << "an existing folder is used as it is";
    ASSERT_TRUE(Platform::WriteFileAtomically(folder + "/one", "abc", error)) << error;
    std::stringstream content;
    content << std::ifstream(folder + "/one").rdbuf();
    EXPECT_EQ("abc", content.str());
    EXPECT_EQ(std::vector<std::string>{"one"}, FilesIn(folder));

    EXPECT_FALSE(Platform::WriteFileAtomically(folder + "/missing-folder/two", "abc", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(std::vector<std::string>{"one"}, FilesIn(folder));

    if (old)
        setenv("XDG_CACHE_HOME", oldValue.c_str(), 1);
    else
        unsetenv("XDG_CACHE_HOME");
    std::system(("rm -rf '" + root + "'").c_str());
}
