#pragma once
// openbox on the rig's display for the lifetime of a test, started with the
// tests' own configuration; gone again, and forgotten by the display, when
// the object is.
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

private:
    pid_t pid_ = -1;
    bool running_ = false;
};
