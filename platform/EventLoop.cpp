#include "platform/EventLoop.h"

#include "platform/DisplayWatch.h"
#include "platform/Log.h"
#include "platform/WindowWaitBudget.h"

#include <SDL.h>

#include "platform/Video.h"

#include <algorithm>
#include <atomic>
#include <exception>

namespace Platform {
namespace {

// Set by RequestQuit, which a signal handler may run.
std::atomic<bool> quitRequested{false};
// The waiter a quit wakes, once there is one.
std::atomic<EventWait*> quitWaker{nullptr};

Uint32 CallEventType()
{
    static const Uint32 type = SDL_RegisterEvents(1);
    return type;
}

// Runs one handler so that nothing it throws reaches the loop.
template <typename F> void Guarded(const char* what, F&& f)
{
    // Whatever the handler asks of the sound server, in as many calls as it
    // likes, holds the window for one wait at most.
    WindowWaitBudget budget;
    try {
        f();
    } catch (const std::exception& e) {
        Log(std::string("EventLoop: exception while handling ") + what + ": " + e.what());
    } catch (...) {
        Log(std::string("EventLoop: unknown exception while handling ") + what);
    }
}

} // namespace

EventLoop& EventLoop::Instance()
{
    // Never destroyed: windows that die at exit, after every static, still
    // detach from it. Its events and clock need SDL's video; a failure is
    // logged with SDL's reason and the first window reports it.
    static EventLoop* loop = [] {
        StartVideo();
        auto* made = new EventLoop;
        made->translation_.shows = [](std::uint32_t windowId) {
            SDL_Window* window = SDL_GetWindowFromID(windowId);
            return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN) != 0;
        };
        return made;
    }();
    return *loop;
}

EventWait& EventLoop::Waiter()
{
    // Never destroyed, as the loop: a thread may post while the process ends.
    static EventWait* waiter = [] {
        auto* made = new EventWait;
        quitWaker.store(made);
        return made;
    }();
    return *waiter;
}

void EventLoop::Attach(std::uint32_t windowId, WindowClient& client)
{
    windows_[windowId].client = &client;
    Waiter().Watch(SDL_GetWindowFromID(windowId));
}

void EventLoop::Detach(std::uint32_t windowId)
{
    windows_.erase(windowId);
    for (ModalFrame* frame : modalFrames_)
        if (frame->windowId == windowId && !frame->ended) {
            frame->ended = true;
            frame->result = -1;
        }
}

bool EventLoop::IsAttached(std::uint32_t windowId) const
{
    return windows_.count(windowId) != 0;
}

void EventLoop::StartTimer(std::uint32_t windowId)
{
    auto it = windows_.find(windowId);
    if (it == windows_.end() || it->second.timerRunning)
        return;
    it->second.timerRunning = true;
    it->second.nextTick = NowMs() + kTickPeriod;
    it->second.lastTick = NowMs();
}

void EventLoop::DisableInput(std::uint32_t windowId)
{
    auto it = windows_.find(windowId);
    if (it != windows_.end())
        ++it->second.inputDisabled;
}

void EventLoop::EnableInput(std::uint32_t windowId)
{
    auto it = windows_.find(windowId);
    if (it != windows_.end() && it->second.inputDisabled > 0)
        --it->second.inputDisabled;
}

bool EventLoop::IsInputEnabled(std::uint32_t windowId) const
{
    auto it = windows_.find(windowId);
    return it != windows_.end() && it->second.inputDisabled == 0;
}

int EventLoop::RunModal(std::uint32_t windowId)
{
    ModalFrame frame{windowId, !IsAttached(windowId) || QuitRequested(), -1};
    modalFrames_.push_back(&frame);
    while (!frame.ended)
        RunOnce(1000);
    modalFrames_.erase(std::find(modalFrames_.begin(), modalFrames_.end(), &frame));
    return frame.result;
}

bool EventLoop::EndModal(std::uint32_t windowId, int result)
{
    for (auto it = modalFrames_.rbegin(); it != modalFrames_.rend(); ++it)
        if ((*it)->windowId == windowId && !(*it)->ended) {
            (*it)->ended = true;
            (*it)->result = result;
            return true;
        }
    return false;
}

void EventLoop::EndAllModal()
{
    for (ModalFrame* frame : modalFrames_)
        if (!frame->ended) {
            frame->ended = true;
            frame->result = -1;
        }
}

void EventLoop::RequestQuit()
{
    quitRequested.store(true);
    if (EventWait* waiter = quitWaker.load())
        waiter->WakeFromSignal();
}

bool EventLoop::QuitRequested()
{
    return quitRequested.load();
}

void EventLoop::FollowQuit()
{
    if (QuitRequested())
        EndAllModal();
}

bool EventLoop::IsRunningModal(std::uint32_t windowId) const
{
    for (const ModalFrame* frame : modalFrames_)
        if (frame->windowId == windowId && !frame->ended)
            return true;
    return false;
}

Milliseconds EventLoop::TimeToNextTick() const
{
    Milliseconds wait = -1;
    const Milliseconds now = NowMs();
    for (const auto& entry : windows_)
        if (entry.second.timerRunning && entry.second.nextTick != kNoTick) {
            const Milliseconds left = std::max<Milliseconds>(0, entry.second.nextTick - now);
            wait = wait < 0 ? left : std::min(wait, left);
        }
    return wait;
}

void EventLoop::ScheduleRequestedTicks()
{
    const Milliseconds requested = TakeRequestedTick();
    if (requested == kNoTick)
        return;
    for (auto& entry : windows_)
        if (entry.second.timerRunning)
            ScheduleTick(entry.second, requested);
}

void EventLoop::ScheduleTick(Record& record, Milliseconds at)
{
    record.nextTick = std::min(record.nextTick, std::max(at, record.lastTick + kTickPeriod));
}

void EventLoop::RunOnce(Milliseconds maxWait)
{
    FollowQuit();
    ScheduleRequestedTicks();
    Milliseconds wait = maxWait;
    const Milliseconds tick = TimeToNextTick();
    if (tick >= 0)
        wait = std::min(wait, tick);
    SDL_Event event;
    EventWait& waiter = Waiter();
    if (waiter.Next(event, std::max<Milliseconds>(0, wait))) {
        // SDL has already marked the window that comes back as shown.
        if (background_ && !InBackground())
            CatchUpWindowless();
        Serve(event);
        // Input goes before the clock, as a window timer only fires on an
        // empty queue; but a flood of events must not stop the clock.
        const Milliseconds until = NowMs() + kTickPeriod;
        while (NowMs() < until && waiter.Poll(event))
            Serve(event);
        // What was served may have started something that moves.
        RequestNextTick();
    }
    DeliverDestroyed();
    FollowQuit();
    ScheduleRequestedTicks();
    RunDueTicks();
    background_ = InBackground();
}

void EventLoop::RunFor(Milliseconds duration)
{
    const Milliseconds end = NowMs() + duration;
    for (Milliseconds now = NowMs(); now < end; now = NowMs())
        RunOnce(end - now);
}

void EventLoop::Serve(SDL_Event& event)
{
    if (event.type == CallEventType()) {
        auto* call = static_cast<std::function<void()>*>(event.user.data1);
        Guarded("a posted call", [call] { (*call)(); });
        delete call;
        return;
    }
    // Presses are compared on the screen: the window under the pointer may
    // change between the two of a double click.
    int originX = 0;
    int originY = 0;
    if (event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP) {
        if (SDL_Window* window = SDL_GetWindowFromID(event.button.windowID))
            SDL_GetWindowPosition(window, &originX, &originY);
    }
    std::vector<HostInput> inputs;
    Guarded("an SDL event", [&] { inputs = TranslateEvent(event, translation_, originX, originY); });
    if (event.type == SDL_DROPFILE || event.type == SDL_DROPTEXT)
        SDL_free(event.drop.file);
    for (const HostInput& input : inputs)
        Deliver(input);
}

void EventLoop::Deliver(const HostInput& input)
{
    // Looked up for every input: a handler may have closed the window.
    auto it = windows_.find(input.windowId);
    if (it == windows_.end())
        return;
    if (input.IsUserInput() && it->second.inputDisabled > 0) {
        ++dropped_;
        return;
    }
    WindowClient* client = it->second.client;
    Guarded("an input", [client, &input] { client->OnInput(input); });
}

void EventLoop::DeliverDestroyed()
{
    for (std::uint32_t windowId : DisplayWatch::TakeDestroyed()) {
        HostInput lost;
        lost.kind = HostInput::Kind::Destroyed;
        lost.windowId = windowId;
        Deliver(lost);
    }
}

void EventLoop::RunDueTicks()
{
    std::vector<std::uint32_t> due;
    const Milliseconds now = NowMs();
    for (const auto& entry : windows_)
        if (entry.second.timerRunning && now >= entry.second.nextTick)
            due.push_back(entry.first);
    Tick(due);
}

void EventLoop::CatchUpWindowless()
{
    std::vector<std::uint32_t> windowless;
    for (const auto& entry : windows_)
        if (entry.second.timerRunning && !SDL_GetWindowFromID(entry.first))
            windowless.push_back(entry.first);
    Tick(windowless);
}

void EventLoop::Tick(const std::vector<std::uint32_t>& ids)
{
    const Milliseconds now = NowMs();
    for (std::uint32_t id : ids) {
        Record& record = windows_.at(id);
        // Until its listeners ask for the next one.
        record.nextTick = kNoTick;
        record.lastTick = now;
    }
    for (std::uint32_t id : ids) {
        ScheduleRequestedTicks();
        auto it = windows_.find(id);
        if (it == windows_.end())
            continue;
        WindowClient* client = it->second.client;
        Guarded("a clock tick", [client] { client->OnTick(); });
        // What a window's listeners ask for during its tick is that window's
        // next tick: a mixer's poll does not wake the screens.
        const Milliseconds requested = TakeRequestedTick();
        it = windows_.find(id);
        if (it != windows_.end() && requested != kNoTick)
            ScheduleTick(it->second, requested);
    }
}

bool EventLoop::InBackground() const
{
    bool minimised = false;
    for (const auto& entry : windows_) {
        // Null for a client with no window.
        SDL_Window* window = SDL_GetWindowFromID(entry.first);
        if (!window)
            continue;
        const Uint32 flags = SDL_GetWindowFlags(window);
        // A window manager also hides the window it minimises.
        if (flags & SDL_WINDOW_MINIMIZED)
            minimised = true;
        else if ((flags & SDL_WINDOW_SHOWN) && !(flags & SDL_WINDOW_HIDDEN))
            return false;
    }
    return minimised;
}

bool EventLoop::Post(std::function<void()> call)
{
    SDL_Event event;
    SDL_zero(event);
    event.type = CallEventType();
    event.user.data1 = new std::function<void()>(std::move(call));
    if (SDL_PushEvent(&event) != 1) {
        Log(std::string("EventLoop::Post - the call is lost: ") + SDL_GetError());
        delete static_cast<std::function<void()>*>(event.user.data1);
        return false;
    }
    Waiter().Wake();
    return true;
}

} // namespace Platform
