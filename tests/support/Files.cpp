#include "support/Files.h"

#include <fstream>
#include <sstream>

namespace TestSupport {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

bool FileExists(const std::string& path)
{
    return std::ifstream(path).good();
}

} // namespace TestSupport
