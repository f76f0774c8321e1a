#include "platform/ChildSpawn.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The child's ignored signals, from its status in /proc, as a mask.
unsigned long long IgnoredIn(pid_t child)
{
    std::ifstream status("/proc/" + std::to_string(child) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigIgn:", 0) == 0)
            return std::stoull(line.substr(7), nullptr, 16);
    return ~0ull;
}

bool Ignores(unsigned long long mask, int signal)
{
    return (mask >> (signal - 1)) & 1;
}

} // namespace

// The program ignores SIGPIPE for its own log's sake; what its starter
// ignored (nohup's SIGHUP) the children keep ignoring.
TEST(ChildSpawn, AChildGetsBackOnlyTheSignalsWeIgnoredForOurselves)
{
    std::signal(SIGHUP, SIG_IGN);
    Platform::IgnoreForOurselvesOnly(SIGPIPE);

    char program[] = "sleep";
    char seconds[] = "5";
    char* argv[] = {program, seconds, nullptr};
    pid_t child = 0;
    ASSERT_EQ(Platform::SpawnChild(child, program, argv), 0);
    // The status shows the spawned program once it has replaced the fork.
    unsigned long long ignored = ~0ull;
    for (int i = 0; i < 500; ++i) {
        std::ifstream comm("/proc/" + std::to_string(child) + "/comm");
        std::string name;
        if (std::getline(comm, name) && name == "sleep") {
            ignored = IgnoredIn(child);
            break;
        }
        usleep(10000);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);

    EXPECT_FALSE(Ignores(ignored, SIGPIPE));
    EXPECT_TRUE(Ignores(ignored, SIGHUP));
    char missing[] = "pellora-no-such-program";
    char* none[] = {missing, nullptr};
    EXPECT_NE(Platform::SpawnChild(child, missing, none), 0);
    std::signal(SIGHUP, SIG_DFL);
}
