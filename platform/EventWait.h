#pragma once
// Waits for SDL's events on the GUI thread with one read of the X connection
// per wake-up. SDL's own wait reads the connection a dozen times and more
// around every sleep (each of its checks flushes and reads again); here the
// queue is pumped once before sleeping, the sleep is a poll of the X
// connection, and the connection is pumped again only when the server sent
// something. A call posted from another thread wakes the sleep through Wake.
// Without an X connection (no window yet, another driver) SDL's wait is used.
#include "platform/Clock.h"

#include <SDL.h>

namespace Platform {

class EventWait {
public:
    EventWait();
    ~EventWait();
    EventWait(const EventWait&) = delete;
    EventWait& operator=(const EventWait&) = delete;

    // Waits on the X connection behind this window from now on (once is
    // enough: every window shares it).
    void Watch(SDL_Window* window);

    // The next event, waiting at most maxWait ms for one (none: 0); false when
    // none came.
    bool Next(SDL_Event& event, Milliseconds maxWait);
    // The next event that is already there, without waiting.
    bool Poll(SDL_Event& event);

    // Ends a sleep in Next. Safe from any thread.
    void Wake();
    // As Wake, and safe in a signal handler: a failure is not logged.
    void WakeFromSignal();

private:
    int connection_ = -1;
    // An eventfd that Wake counts up and a sleep watches.
    int wake_ = -1;
};

} // namespace Platform
