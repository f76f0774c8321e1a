#include "support/DesktopLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

DesktopLock::DesktopLock(const std::string& what)
    : fd_(::open(LockFile(what).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666))
{
    if (fd_ >= 0)
        ::flock(fd_, LOCK_EX);
}

DesktopLock::~DesktopLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::string DesktopLock::LockFile(const std::string& what)
{
    const char* display = std::getenv("DISPLAY");
    std::string name = display ? display : "";
    for (char& c : name)
        if (c == '/' || c == ':')
            c = '_';
    return "/tmp/pellora-" + what + name + ".lock";
}
