#pragma once
// The GUI thread's event loop: reads SDL events, turns them into host inputs
// for the window they belong to, and keeps each window's GUI clock by waiting
// with deadlines (no timer thread). The clock ticks only when a tick is due:
// one shortest period after anything was served (input, a posted call), and
// whenever a window's listeners asked for one (TickRequest.h); otherwise the
// loop sleeps. Modal loops nest: a handler may run another modal loop, and
// every window keeps being served meanwhile. Input to a window whose input is
// switched off is dropped (and counted); switching off is counted too, so
// nested modal loops switch an owner back on only when the last of them ends.
// No exception leaves the loop: a handler's exception is logged and the loop
// carries on. A window that another client destroyed gets a Destroyed input
// (DisplayWatch.h).
#include "platform/Clock.h"
#include "platform/EventTranslation.h"
#include "platform/EventWait.h"
#include "platform/HostInput.h"
#include "platform/TickRequest.h"

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace Platform {

// What the loop serves: one per window (the host window).
class WindowClient {
public:
    virtual ~WindowClient() = default;
    virtual void OnInput(const HostInput& input) = 0;
    // One tick of the GUI clock. The listeners ask for the next one through
    // RequestTickAt.
    virtual void OnTick() = 0;
};

class EventLoop {
public:
    // The shortest time between two ticks of a window.
    static constexpr Milliseconds kTickPeriod = 10;

    // The process's loop (GUI thread only).
    static EventLoop& Instance();

    void Attach(std::uint32_t windowId, WindowClient& client);
    // Forgets the window; its modal loops end.
    void Detach(std::uint32_t windowId);
    bool IsAttached(std::uint32_t windowId) const;
    // Starts the window's GUI clock: a first tick kTickPeriod ms from now, then
    // whenever one is due.
    void StartTimer(std::uint32_t windowId);

    void DisableInput(std::uint32_t windowId);
    void EnableInput(std::uint32_t windowId);
    bool IsInputEnabled(std::uint32_t windowId) const;
    // User inputs dropped because their window's input was off.
    std::uint64_t DroppedInputCount() const { return dropped_; }

    // Serves every window until EndModal for this window (or its Detach,
    // EndAllModal or a quit); returns EndModal's result (else -1).
    int RunModal(std::uint32_t windowId);
    // Ends the innermost running modal loop of the window; false when none runs.
    bool EndModal(std::uint32_t windowId, int result);
    // Ends every running modal loop, each with -1.
    void EndAllModal();
    bool IsRunningModal(std::uint32_t windowId) const;

    // One pass: waits for events at most maxWait ms (less when a tick is due),
    // serves what arrived, then the ticks that are due.
    void RunOnce(Milliseconds maxWait);
    // Passes for `duration` ms of the clock.
    void RunFor(Milliseconds duration);

    // The process is to end as when its main window closes: at its next pass
    // the loop ends every modal loop, and from then on every modal loop ends
    // as soon as it starts. Safe in a signal handler and from any thread.
    static void RequestQuit();
    static bool QuitRequested();

    // Runs the call on the GUI thread at its next pass, waking the loop when
    // it sleeps. Safe from any thread; false (logged) when the event queue
    // refuses it.
    static bool Post(std::function<void()> call);

    // Whether nothing of the program shows: a window is minimised and no
    // other is shown (hidden ones, as closed popups, count for nothing).
    // Clients without a window (a mixer's watcher) may then pause or slow
    // down: when a window comes back they are ticked at once, before its
    // event is served, so that its first frame shows what they caught up on.
    bool InBackground() const;

private:
    struct Record {
        WindowClient* client = nullptr;
        bool timerRunning = false;
        Milliseconds nextTick = kNoTick;
        Milliseconds lastTick = 0;
        int inputDisabled = 0;
    };
    struct ModalFrame {
        std::uint32_t windowId;
        bool ended;
        int result;
    };

    EventLoop() = default;
    // Shared with Post, which may run before the loop is made and on any thread.
    static EventWait& Waiter();
    void Serve(SDL_Event& event);
    void Deliver(const HostInput& input);
    // Hands each window that another client destroyed the notice of its loss.
    void DeliverDestroyed();
    // Ends the modal loops once a quit was asked.
    void FollowQuit();
    void RunDueTicks();
    // Ticks the clients now, in turn; each asks for its next tick.
    void Tick(const std::vector<std::uint32_t>& ids);
    // The clients that have no window: ticked at once when a window comes back.
    void CatchUpWindowless();
    // Moves the windows' next ticks forward to what was asked for, no sooner
    // than a shortest period after each window's last tick.
    void ScheduleRequestedTicks();
    static void ScheduleTick(Record& record, Milliseconds at);
    Milliseconds TimeToNextTick() const;

    std::map<std::uint32_t, Record> windows_;
    std::vector<ModalFrame*> modalFrames_;
    TranslationState translation_;
    std::uint64_t dropped_ = 0;
    // InBackground at the end of the last pass.
    bool background_ = false;
};

} // namespace Platform
