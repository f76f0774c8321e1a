#pragma once
// Another X client that follows a program's top-level windows from their
// creation, as a window manager or a hostile client would: it pings every
// one of them (_NET_WM_PING) a tenth of a second apart and times the answers,
// and destroys the first window with a given title at a chosen moment of its
// life. An empty title names the untitled windows (popups), of which the
// first mapped or drawn once the probe is armed is the one destroyed.
#include <sys/types.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

class WindowProbe {
public:
    enum class Moment { Never, Creation, Map, FirstFrame };

    // Follows the windows created from now on; those of the process named by
    // Follow count.
    WindowProbe(const std::string& title, Moment moment);
    ~WindowProbe();
    WindowProbe(const WindowProbe&) = delete;
    WindowProbe& operator=(const WindowProbe&) = delete;

    bool Connected() const { return connected_; }
    void Follow(pid_t pid) { pid_ = pid; }
    // For an empty title: the untitled window to come is the one shown next.
    void Arm() { armed_ = true; }

    // A window with the title was created.
    bool TargetSeen() const { return seen_; }
    bool TargetDestroyed() const { return destroyed_; }
    // Pings answered so far, and the longest a ping waited for its answer
    // (one still unanswered counts with its age), in seconds.
    int Answers() const;
    double LongestWait() const;

private:
    void Run();

    std::string title_;
    Moment moment_;
    std::atomic<pid_t> pid_{0};
    std::atomic<bool> connected_{false};
    std::atomic<bool> seen_{false};
    std::atomic<bool> destroyed_{false};
    std::atomic<bool> stop_{false};
    std::atomic<bool> ended_{false};
    std::atomic<bool> armed_{false};
    struct Figures;
    Figures* figures_;
    mutable std::mutex lock_;
    std::thread thread_;
};
