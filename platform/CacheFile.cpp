#include "platform/CacheFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace Platform {
namespace {

constexpr std::size_t kMaxReadablePart = 80;

std::string ErrnoText()
{
    return std::strerror(errno);
}

bool MakeFolder(const std::string& path, std::string& error)
{
    if (mkdir(path.c_str(), 0700) == 0 || errno == EEXIST)
        return true;
    error = "cannot create " + path + ": " + ErrnoText();
    return false;
}

std::uint64_t Fnv1a(const std::string& text)
{
    std::uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

} // namespace

std::string CacheFolder(std::string& error)
{
    std::string base;
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && xdg[0] == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && home[0] != '\0') {
        base = std::string(home) + "/.cache";
        if (!MakeFolder(base, error))
            return std::string();
    } else {
        error = "neither XDG_CACHE_HOME nor HOME is set";
        return std::string();
    }
    const std::string folder = base + "/vintrel-pellora";
    if (!MakeFolder(folder, error))
        return std::string();
    return folder;
}

std::string CacheFileName(const std::string& address)
{
    std::string rest = address;
    const std::size_t scheme = rest.find("://");
    if (scheme != std::string::npos)
        rest = rest.substr(scheme + 3);
    std::string readable;
    for (char c : rest) {
        if (readable.size() == kMaxReadablePart)
            break;
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.';
        readable += keep ? c : '_';
    }
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv1a(address)));
    return readable + "-" + hash;
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& error)
{
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        error = "cannot create a temporary file for " + path + ": " + ErrnoText();
        return false;
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = "cannot write " + temp + ": " + ErrnoText();
            close(fd);
            unlink(temp.c_str());
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    if (close(fd) != 0) {
        error = "cannot write " + temp + ": " + ErrnoText();
        unlink(temp.c_str());
        return false;
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot rename " + temp + " to " + path + ": " + ErrnoText();
        unlink(temp.c_str());
        return false;
    }
    return true;
}

} // namespace Platform
