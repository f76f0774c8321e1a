#pragma once
// Test programs run side by side on one display: the pointer and the
// clipboard are shared by all of them. A DesktopLock holds one of these for
// its lifetime, across processes (flock on a file in /tmp, one per display:
// programs on other displays share nothing with these).
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

class DesktopLock {
public:
    explicit DesktopLock(const std::string& what)
        : fd_(::open(LockFile(what).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666))
    {
        if (fd_ >= 0)
            ::flock(fd_, LOCK_EX);
    }
    ~DesktopLock()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    DesktopLock(const DesktopLock&) = delete;

    static std::string LockFile(const std::string& what)
    {
        const char* display = std::getenv("DISPLAY");
        std::string name = display ? display : "";
        for (char& c : name)
            if (c == '/' || c == ':')
                c = '_';
        return "/tmp/pellora-" + what + name + ".lock";
    }

    DesktopLock& operator=(const DesktopLock&) = delete;

private:
    int fd_;
};
