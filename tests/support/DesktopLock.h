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
    explicit DesktopLock(const std::string& what);
    ~DesktopLock();
    DesktopLock(const DesktopLock&) = delete;
    DesktopLock& operator=(const DesktopLock&) = delete;

    static std::string LockFile(const std::string& what);

private:
    int fd_;
};
