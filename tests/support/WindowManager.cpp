#include "support/WindowManager.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

std::string Output(const std::string& command)
{
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return "";
    std::string text;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe))
        text += buffer;
    pclose(pipe);
    return text;
}

// The root names a manager's window, and that window stands (a manager
// killed leaves the name behind).
bool Announced()
{
    const std::string text = Output("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null");
    const auto id = text.find("window id # ");
    if (id == std::string::npos)
        return false;
    const std::string window = text.substr(id + 12, text.find_first_of("\n, ", id + 12) - id - 12);
    return Output("xprop -id " + window + " _NET_WM_NAME 2>/dev/null").find("_NET_WM_NAME") != std::string::npos;
}

void AwaitAnnounced(pid_t pid, bool& running)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (pid > 0 && !(running = Announced()) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

} // namespace

WindowManager::WindowManager(const std::string& configFile)
    : configFile_(configFile)
{
    Start(false);
}

void WindowManager::Start(bool replacing)
{
    pid_ = fork();
    if (pid_ == 0) {
        std::freopen("/dev/null", "w", stderr);
        execlp("openbox", "openbox", "--config-file", configFile_.c_str(), replacing ? "--replace" : "--sm-disable",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    if (!replacing)
        AwaitAnnounced(pid_, running_);
}

void WindowManager::Stop()
{
    if (pid_ > 0)
        kill(pid_, SIGSTOP);
}

void WindowManager::Kill()
{
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
    running_ = false;
    std::system("xprop -root -remove _NET_SUPPORTING_WM_CHECK 2>/dev/null");
}

void WindowManager::Replace()
{
    Stop();
    const pid_t old = pid_;
    Start(true);
    // The new manager waits for the old one to let the display go.
    kill(old, SIGKILL);
    waitpid(old, nullptr, 0);
    AwaitAnnounced(pid_, running_);
}

WindowManager::~WindowManager()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        kill(pid_, SIGCONT);
        waitpid(pid_, nullptr, 0);
    }
    // The root keeps the name of a manager that is gone: the next tests must
    // not think one runs.
    std::system("xprop -root -remove _NET_SUPPORTING_WM_CHECK 2>/dev/null");
}
