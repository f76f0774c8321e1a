// Pellora: the tuner and metronome.
#include "app/TunerApp.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Started with a standard stream closed, as some launchers and services start
// programs, the first file or connection the program opens would take that
// number: the display's connection on 2 would then get the log's lines. Each
// closed one is taken for /dev/null before anything else is opened.
void OpenClosedStandardStreams()
{
    for (int fd = 0; fd <= 2; ++fd)
        // The lowest free number is this one: those below it are open by now.
        if (fcntl(fd, F_GETFD) == -1 && errno == EBADF)
            open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
}

} // namespace

int main()
{
    OpenClosedStandardStreams();
    TunerApp app;
    return app.Run();
}
