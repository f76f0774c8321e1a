#include "support/Files.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

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

std::string Standing(const std::string& path)
{
    struct stat status;
    if (lstat(path.c_str(), &status) != 0)
        return "nothing";
    if (S_ISLNK(status.st_mode)) {
        char target[4096];
        const ssize_t length = readlink(path.c_str(), target, sizeof target);
        const std::string named(target, std::size_t(std::max<ssize_t>(length, 0)));
        return "a link to " + named + ", " + Standing(named);
    }
    if (S_ISREG(status.st_mode))
        return "a file holding " + ReadFile(path);
    if (S_ISDIR(status.st_mode))
        return "a folder holding " + ReadFile(path + "/notes");
    if (S_ISCHR(status.st_mode))
        return "the device " + std::to_string(major(status.st_rdev)) + "," + std::to_string(minor(status.st_rdev));
    return S_ISFIFO(status.st_mode) ? "a FIFO" : S_ISSOCK(status.st_mode) ? "a socket" : "something else";
}

std::string Device(const std::string& folder, const char* name, unsigned minorNumber)
{
    const std::string own = folder + "/" + name;
    if (geteuid() == 0 && mknod(own.c_str(), S_IFCHR | 0666, makedev(1, minorNumber)) == 0)
        return own;
    return std::string("/dev/") + name;
}

} // namespace TestSupport
