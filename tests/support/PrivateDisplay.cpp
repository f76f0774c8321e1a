#include "support/PrivateDisplay.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

PrivateDisplay::PrivateDisplay(Access access)
{
    if (const char* display = std::getenv("DISPLAY")) {
        oldDisplay_ = display;
        hadDisplay_ = true;
    }
    if (access == Access::RefusesStrangers) {
        char name[] = "/tmp/pellora-cookie.XXXXXX";
        const int file = mkstemp(name);
        if (file < 0)
            return;
        close(file);
        cookieFile_ = name;
        std::random_device random;
        char cookie[33];
        std::snprintf(cookie, sizeof cookie, "%08x%08x%08x%08x", random(), random(), random(), random());
        const std::string add = "xauth -q -f " + cookieFile_ + " add :0 . " + cookie + " 2>/dev/null";
        if (std::system(add.c_str()) != 0)
            return;
    }
    int numbers[2];
    if (pipe(numbers) != 0)
        return;
    pid_ = fork();
    if (pid_ == 0) {
        close(numbers[0]);
        // The server picks a free number itself and writes it to the pipe.
        const std::string fd = std::to_string(numbers[1]);
        if (!cookieFile_.empty())
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-auth", cookieFile_.c_str(), "-screen", "0",
                   "1280x1024x24", "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        else
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                   "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(numbers[1]);
    std::string number;
    pollfd wait{numbers[0], POLLIN, 0};
    char c = 0;
    while (pid_ > 0 && poll(&wait, 1, 10000) == 1 && read(numbers[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(numbers[0]);
    if (number.empty())
        return;
    name_ = ":" + number;
    setenv("DISPLAY", name_.c_str(), 1);
}

PrivateDisplay::~PrivateDisplay()
{
    Kill();
    if (!cookieFile_.empty())
        unlink(cookieFile_.c_str());
    if (hadDisplay_)
        setenv("DISPLAY", oldDisplay_.c_str(), 1);
    else
        unsetenv("DISPLAY");
}

void PrivateDisplay::Kill()
{
    if (pid_ <= 0)
        return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

void PrivateDisplay::Hang()
{
    if (pid_ > 0)
        kill(pid_, SIGSTOP);
}
