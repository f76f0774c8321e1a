// Inputs the fuzzing harnesses once failed on, replayed through the same
// loaders on every test run: each must be refused or read, never crash.
#include "framework/drawing/Image.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::vector<std::string> Inputs(const std::string& harness)
{
    std::vector<std::string> files;
    const std::filesystem::path folder = std::filesystem::path(PELLORA_SOURCE_DIR) / "fuzz" / "regressions" / harness;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files.push_back(entry.path().string());
    return files;
}

} // namespace

TEST(FuzzRegression, PicturesThatOnceBrokeTheDecoderAreRefused)
{
    const std::vector<std::string> files = Inputs("picture");
    ASSERT_FALSE(files.empty());
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        EXPECT_THROW(GdiplusGfxLayer::Image picture(file), GdiplusGfxLayer::Image::InvalidImageException);
    }
}
