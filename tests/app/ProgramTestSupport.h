// What the tests that start the real program share: the program started in a
// folder with its own settings folder, its shown windows found and clicked
// through xdotool, the screen's pixels read, and waiting for a condition.
#pragma once
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace ProgramTest {

inline std::string Output(const std::string& command)
{
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            text += buffer;
        pclose(pipe);
    }
    return text;
}

// A shown window whose name is exactly the title: its screen rectangle.
struct Shown {
    bool found = false;
    int x = 0, y = 0, width = 0, height = 0;
};

inline Shown FindWindow(const std::string& title)
{
    std::istringstream ids(Output("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null"));
    std::string id;
    Shown shown;
    while (ids >> id) {
        std::istringstream geometry(Output("xdotool getwindowgeometry --shell " + id));
        std::string line;
        while (std::getline(geometry, line)) {
            const auto equals = line.find('=');
            if (equals == std::string::npos)
                continue;
            const std::string key = line.substr(0, equals);
            const int value = std::atoi(line.c_str() + equals + 1);
            if (key == "X")
                shown.x = value;
            else if (key == "Y")
                shown.y = value;
            else if (key == "WIDTH")
                shown.width = value;
            else if (key == "HEIGHT")
                shown.height = value;
        }
        shown.found = shown.width > 0;
    }
    return shown;
}

// Polls, a tenth of a second apart, until the condition holds or 20 s passed.
template <class Condition> bool Eventually(Condition condition)
{
    for (int i = 0; i < 200 && !condition(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return condition();
}

inline void Click(int x, int y)
{
    const std::string command = "xdotool mousemove --sync " + std::to_string(x) + " " + std::to_string(y) + " click 1";
    ASSERT_EQ(0, std::system(command.c_str()));
}

// How many of the program's windows are shown now (each window carries its
// process id).
inline int ShownWindows(pid_t pid)
{
    std::istringstream ids(Output("xdotool search --onlyvisible --pid " + std::to_string(pid) + " 2>/dev/null"));
    int count = 0;
    for (std::string id; ids >> id;)
        ++count;
    return count;
}

// The X window, as text, of the program's shown window with the title; empty
// when none. Asked by process, since a window of a program that has just
// ended can still be listed under the same title for a moment.
inline std::string ProgramWindowId(pid_t pid, const std::string& title)
{
    std::istringstream ids(Output("xdotool search --onlyvisible --pid " + std::to_string(pid) + " 2>/dev/null"));
    for (std::string id; ids >> id;) {
        std::string name = Output("xdotool getwindowname " + id + " 2>/dev/null");
        while (!name.empty() && (name.back() == '\n' || name.back() == '\r'))
            name.pop_back();
        if (name == title)
            return id;
    }
    return "";
}

// The screen's colour at a point, as "#RRGGBB".
inline std::string Pixel(int x, int y)
{
    const std::string text = Output("import -window root -crop 1x1+" + std::to_string(x) + "+" + std::to_string(y)
                                    + " -depth 8 txt:- 2>/dev/null");
    const auto hash = text.find('#', text.find('\n'));
    return hash == std::string::npos ? "" : text.substr(hash, 7);
}

// The program started in the repository with its own settings folder; its
// standard error goes to a file.
class Program {
public:
    // Started in the folder (the repository by default) with the ALSA
    // configuration file (the system's by default) and the settings under
    // the configuration folder (one of its own by default).
    // The program itself and the tree that $VINTREL_LIB names (unset when empty)
    // may be chosen too, and what else its process does before the program
    // starts in it (its environment, its descriptors).
    explicit Program(const std::string& alsaConfig = "", const std::string& folder = PELLORA_SOURCE_DIR,
                     const std::string& configHome = "", const std::string& binary = PELLORA_APP_BINARY,
                     const std::string& vintrelLib = PELLORA_SOURCE_DIR,
                     const std::function<void()>& beforeStart = nullptr)
    {
        const std::string settingsHome = configHome.empty() ? folder_.Path() : configHome;
        settings_ = settingsHome + "/vintrel-pellora/settings.ini";
        errors_ = folder_.Path() + "/stderr";
        pid_ = fork();
        if (pid_ == 0) {
            if (chdir(folder.c_str()) != 0)
                _exit(127);
            if (vintrelLib.empty())
                unsetenv("VINTREL_LIB");
            else
                setenv("VINTREL_LIB", vintrelLib.c_str(), 1);
            setenv("XDG_CONFIG_HOME", settingsHome.c_str(), 1);
            if (!alsaConfig.empty())
                setenv("ALSA_CONFIG_PATH", alsaConfig.c_str(), 1);
            if (!std::freopen(errors_.c_str(), "w", stderr))
                _exit(127);
            if (beforeStart)
                beforeStart();
            execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~Program()
    {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    // The exit status once the program has ended, or -1 if it has not within 20 s.
    int Status()
    {
        const int status = WaitStatus();
        if (status != -1 && WIFSIGNALED(status))
            ADD_FAILURE() << "ended by signal " << WTERMSIG(status);
        return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // How the program ended (waitpid's status, a signal's end too), or -1 if
    // it has not within 20 s.
    int WaitStatus()
    {
        Eventually([&] {
            if (!exited_)
                exited_ = waitpid(pid_, &status_, WNOHANG) == pid_;
            return exited_;
        });
        return exited_ ? status_ : -1;
    }

    std::string Errors() const
    {
        std::ifstream in(errors_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string Settings() const
    {
        std::ifstream in(settings_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    const std::string& Folder() const { return folder_.Path(); }
    pid_t Pid() const { return pid_; }

private:
    TempFolder folder_;
    std::string settings_;
    std::string errors_;
    pid_t pid_ = -1;
    bool exited_ = false;
    int status_ = 0;
};


} // namespace ProgramTest
