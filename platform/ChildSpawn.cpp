#include "platform/ChildSpawn.h"

#include <csignal>
#include <spawn.h>

extern char** environ;

namespace Platform {
namespace {

// Written once at start-up, before any child is started.
sigset_t& OursOnly()
{
    static sigset_t set = [] {
        sigset_t empty;
        sigemptyset(&empty);
        return empty;
    }();
    return set;
}

} // namespace

void IgnoreForOurselvesOnly(int signal)
{
    std::signal(signal, SIG_IGN);
    sigaddset(&OursOnly(), signal);
}

int SpawnChild(pid_t& child, const char* program, char* const argv[])
{
    posix_spawnattr_t attributes;
    int error = posix_spawnattr_init(&attributes);
    if (error != 0)
        return error;
    error = posix_spawnattr_setsigdefault(&attributes, &OursOnly());
    if (error == 0)
        error = posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    if (error == 0)
        error = posix_spawnp(&child, program, nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    return error;
}

} // namespace Platform
