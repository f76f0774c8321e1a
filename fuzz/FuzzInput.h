#pragma once
// Hands a fuzzer's bytes to loaders that read files: the bytes are written to a
// file in a private folder that is removed when the input goes.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace Fuzz {

class InputFile {
public:
    InputFile(const std::uint8_t* data, std::size_t size, const std::string& name)
    {
        folder_ = std::filesystem::temp_directory_path() / ("pellora-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        path_ = (folder_ / name).string();
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    ~InputFile()
    {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const std::string& Path() const { return path_; }
    std::string Folder() const { return folder_.string(); }

private:
    std::filesystem::path folder_;
    std::string path_;
};

} // namespace Fuzz
