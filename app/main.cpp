// Pellora: the tuner and metronome.
#include "app/TunerApp.h"
#include "platform/ChildSpawn.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

// Puts an end of a new pipe on the closed number `fd`, the lowest free one:
// on 0 the reading end, whose writer is closed, so that it reads as an empty
// input; on 1 and 2 the writing end, whose reader is closed, so that what is
// written there goes nowhere. False when no pipe can be had.
bool PipeEndOnto(int fd)
{
    int ends[2];
    if (pipe(ends) != 0)
        return false;
    const int kept = fd == 0 ? ends[0] : ends[1];
    const int other = fd == 0 ? ends[1] : ends[0];
    // The reading end took fd itself: dup2 closes it.
    if (other != fd)
        close(other);
    if (kept != fd) {
        dup2(kept, fd);
        close(kept);
    }
    return true;
}

// Started with a standard stream closed, as some launchers and services start
// programs, the first file or connection the program opens would take that
// number: the display's connection on 2 would then get the log's lines. Each
// closed one is taken for /dev/null before anything else is opened, or where
// that cannot be opened so (a sandbox, a chroot with a read-only /dev/null)
// for a pipe's end. A write to a pipe with no reader raises SIGPIPE, which
// would end the program at its first line of log; it is ignored then, and the
// write fails instead. False, with the reason, when a number cannot be taken.
bool OpenClosedStandardStreams(std::string& why)
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free number is this one: those below it are open by now.
        if (open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) == fd)
            continue;
        const std::string cause = std::strerror(errno);
        if (!PipeEndOnto(fd)) {
            why = "standard stream " + std::to_string(fd) + " is closed, /dev/null cannot be opened (" + cause
                + ") and no pipe can be made (" + std::strerror(errno) + ")";
            return false;
        }
        if (fd > 0)
            Platform::IgnoreForOurselvesOnly(SIGPIPE);
    }
    return true;
}

} // namespace

int main()
{
    std::string why;
    if (!OpenClosedStandardStreams(why)) {
        // Opening the display now would put its connection where the log
        // writes.
        std::fprintf(stderr, "pellora: cannot start: %s\n", why.c_str());
        return 1;
    }
    TunerApp app;
    return app.Run();
}
