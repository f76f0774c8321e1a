#pragma once
// openbox on the rig's display for the lifetime of a test, started with the
// tests' own configuration; gone again, and forgotten by the display, when
// the object is. A test may stop it, kill it or replace it by another.
#include <sys/types.h>

#include <string>

class WindowManager {
public:
    explicit WindowManager(const std::string& configFile);
    ~WindowManager();
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    // The manager runs and has announced itself on the display.
    bool Running() const { return running_; }

    // Stopped (SIGSTOP): its clients' requests wait in its connection.
    void Stop();
    // Killed at once, with what waits in its connection.
    void Kill();
    // Another openbox takes the display over (--replace) from this one,
    // stopped and then killed, as a crashed manager restarted by the session.
    void Replace();

private:
    void Start(bool replacing);

    std::string configFile_;
    pid_t pid_ = -1;
    bool running_ = false;
};
