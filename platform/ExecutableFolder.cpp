#include "platform/ExecutableFolder.h"

#include "platform/Log.h"

#include <filesystem>
#include <system_error>

namespace Platform {

std::string ExecutableFolder()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        Log("ExecutableFolder - cannot read /proc/self/exe: " + error.message());
        return std::string();
    }
    return program.parent_path().string();
}

} // namespace Platform
