#include "support/WindowManager.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

bool Announced()
{
    FILE* pipe = popen("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null", "r");
    if (!pipe)
        return false;
    std::string text;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe))
        text += buffer;
    pclose(pipe);
    return text.find("window id") != std::string::npos;
}

} // namespace

WindowManager::WindowManager(const std::string& configFile)
{
    pid_ = fork();
    if (pid_ == 0) {
        std::freopen("/dev/null", "w", stderr);
        execlp("openbox", "openbox", "--config-file", configFile.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (pid_ > 0 && !(running_ = Announced()) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

WindowManager::~WindowManager()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    // The root keeps the name of a manager that is gone: the next tests must
    // not think one runs.
    std::system("xprop -root -remove _NET_SUPPORTING_WM_CHECK 2>/dev/null");
}
