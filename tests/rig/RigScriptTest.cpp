// scripts/rig.sh started twice for one folder: the second start hands out the
// servers the first one started, and one stop ends them all.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "support/TempFolder.h"

namespace {

// What the command printed on its standard output; empty when it failed.
std::string Output(const std::string& command)
{
    std::string text;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return text;
    char chunk[256];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        text.append(chunk, n);
    return ::pclose(pipe) == 0 ? text : std::string();
}

std::string Rig(const std::string& command, const std::string& folder)
{
    // A rig of its own, not the one the test runs in.
    return Output("env -u DISPLAY -u PULSE_SERVER bash " PELLORA_SOURCE_DIR "/scripts/rig.sh " + command + " "
                  + folder);
}

pid_t PidIn(const std::string& file)
{
    std::ifstream in(file);
    pid_t pid = 0;
    return in >> pid ? pid : 0;
}

// Not a zombie: a server that ended waits a while to be reaped.
bool Running(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (pid <= 0 || !std::getline(stat, line))
        return false;
    const std::size_t end = line.rfind(") ");
    return end != std::string::npos && line.compare(end + 2, 1, "Z") != 0;
}

} // namespace

TEST(RigScript, StartedAgainForItsFolderUsesTheServersItAlreadyHas)
{
    TempFolder folder;
    const std::string dir = folder.Path();
    const std::string first = Rig("start", dir);
    ASSERT_NE(std::string::npos, first.find("export DISPLAY=")) << first;
    const pid_t x = PidIn(dir + "/xvfb.pid"), pulse = PidIn(dir + "/pulse.pid");
    ASSERT_TRUE(Running(x));
    ASSERT_TRUE(Running(pulse));

    const std::string again = Rig("start", dir);
    EXPECT_EQ(first, again);
    EXPECT_EQ(x, PidIn(dir + "/xvfb.pid"));
    EXPECT_EQ(pulse, PidIn(dir + "/pulse.pid"));
    // Whatever the second start did, stopping the folder's rig ends every
    // server it started.
    const pid_t x2 = PidIn(dir + "/xvfb.pid"), pulse2 = PidIn(dir + "/pulse.pid");
    Rig("stop", dir);
    EXPECT_FALSE(Running(x)) << "the first X server was left running";
    EXPECT_FALSE(Running(pulse)) << "the first sound server was left running";
    for (pid_t pid : {x, pulse, x2, pulse2})
        if (Running(pid))
            ::kill(pid, SIGKILL);
}

TEST(RigScript, RigsStartedTogetherEachHaveADisplayOfTheirOwn)
{
    constexpr int kRigs = 4;
    TempFolder folder;
    std::string together;
    for (int i = 0; i < kRigs; ++i)
        together += "env -u DISPLAY -u PULSE_SERVER bash " PELLORA_SOURCE_DIR "/scripts/rig.sh start " + folder.Path()
            + "/" + std::to_string(i) + " | grep DISPLAY & ";
    const std::string displays = Output("{ " + together + "wait; } | sort");
    std::set<std::string> distinct;
    std::istringstream lines(displays);
    for (std::string line; std::getline(lines, line);)
        distinct.insert(line);
    for (int i = 0; i < kRigs; ++i)
        Rig("stop", folder.Path() + "/" + std::to_string(i));
    EXPECT_EQ(std::size_t(kRigs), distinct.size()) << displays;
}
