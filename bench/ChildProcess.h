// Helper programs the benches run beside the sound they measure (a recorder,
// CPU hogs): started without a shell, ended and reaped by the bench.
#pragma once

#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace bench {

// Starts the program with its standard output on `out` (kept as it is when
// `out` is negative); -1 when it could not be started.
inline pid_t Spawn(const std::vector<std::string>& args, int out = -1)
{
    const pid_t pid = fork();
    if (pid == 0) {
        if (out >= 0)
            dup2(out, STDOUT_FILENO);
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

inline void Stop(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

} // namespace bench
