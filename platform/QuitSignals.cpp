#include "platform/QuitSignals.h"

#include "platform/EventLoop.h"
#include "platform/Log.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

namespace Platform {
namespace {

void AskToQuit(int)
{
    const int saved = errno;
    EventLoop::RequestQuit();
    errno = saved;
}

} // namespace

bool QuitOnSignals()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = AskToQuit;
    sigemptyset(&action.sa_mask);
    // The handler runs once: the next such signal takes its default action.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    bool set = true;
    for (int number : {SIGTERM, SIGHUP, SIGINT}) {
        // One ignored from the start stays so (nohup, a job in the background).
        struct sigaction before;
        if (sigaction(number, nullptr, &before) == 0 && before.sa_handler == SIG_IGN)
            continue;
        if (sigaction(number, &action, nullptr) != 0) {
            Log("Platform::QuitOnSignals - cannot handle signal " + std::to_string(number) + ": "
                + std::strerror(errno));
            set = false;
        }
    }
    return set;
}

} // namespace Platform
