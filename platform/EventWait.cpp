#include "platform/EventWait.h"

#include "platform/Log.h"
#include "platform/X11Handles.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/eventfd.h>
#include <unistd.h>

namespace Platform {
namespace {

bool Take(SDL_Event& event)
{
    return SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1;
}

} // namespace

EventWait::EventWait()
    : wake_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
    if (wake_ < 0)
        Log(std::string("Platform::EventWait - no wake-up descriptor, SDL waits for events: ") + std::strerror(errno));
}

EventWait::~EventWait()
{
    if (wake_ >= 0)
        close(wake_);
}

void EventWait::Watch(SDL_Window* window)
{
    Display* display = nullptr;
    ::Window handle = 0;
    std::string why;
    if (connection_ < 0 && wake_ >= 0 && X11HandlesOf(window, display, handle, why))
        connection_ = ConnectionNumber(display);
}

bool EventWait::Next(SDL_Event& event, Milliseconds maxWait)
{
    if (connection_ < 0)
        return SDL_WaitEventTimeout(&event, int(maxWait)) == 1;
    // What the last frame's round trips read from the server is in Xlib's
    // queue, not on the connection: the pump takes it, and flushes what is
    // still to be sent, before the sleep.
    SDL_PumpEvents();
    if (Take(event))
        return true;
    if (maxWait <= 0)
        return false;
    pollfd watched[2] = {{connection_, POLLIN, 0}, {wake_, POLLIN, 0}};
    const int ready = poll(watched, 2, int(maxWait));
    if (ready == 0)
        return false;
    if (watched[1].revents & POLLIN) {
        std::uint64_t count = 0;
        if (read(wake_, &count, sizeof count) < 0 && errno != EAGAIN)
            Log(std::string("Platform::EventWait - cannot read the wake-up descriptor: ") + std::strerror(errno));
    }
    // A signal also ends the sleep: the pump turns it into SDL's quit event.
    // A connection that broke is pumped too, for Xlib to report it.
    if (ready < 0 || watched[0].revents != 0)
        SDL_PumpEvents();
    return Take(event);
}

bool EventWait::Poll(SDL_Event& event)
{
    if (connection_ < 0)
        return SDL_PollEvent(&event) == 1;
    if (Take(event))
        return true;
    SDL_PumpEvents();
    return Take(event);
}

void EventWait::Wake()
{
    const std::uint64_t one = 1;
    if (wake_ >= 0 && write(wake_, &one, sizeof one) < 0 && errno != EAGAIN)
        Log(std::string("Platform::EventWait - cannot wake the event loop: ") + std::strerror(errno));
}

void EventWait::WakeFromSignal()
{
    const std::uint64_t one = 1;
    if (wake_ >= 0) {
        // A full counter already wakes the sleep.
        const ssize_t written = write(wake_, &one, sizeof one);
        (void)written;
    }
}

} // namespace Platform
