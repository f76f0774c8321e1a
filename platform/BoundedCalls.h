#pragma once
// Runs calls that can wait on a sound server on a thread of its own, one after
// another, so that their caller waits for each at most a bound. A stopped
// server answers nothing, and the sound libraries wait for it without end: a
// call that does not return in time goes on alone, and what depends on it
// (closing its stream, freeing it) is queued behind it.
#include "platform/Clock.h"

#include <functional>
#include <memory>
#include <thread>

namespace Platform {

class BoundedCalls {
public:
    // The longest the destructor waits for the calls queued.
    static constexpr Milliseconds EndWithinMs = 3000;

    BoundedCalls();
    // Ends the thread once its queue is done. A thread held by a call that
    // does not return is left to end with the process: one given up is not
    // waited for at all, and one that nobody waited for (posted) at most
    // EndWithinMs.
    ~BoundedCalls();
    BoundedCalls(const BoundedCalls&) = delete;
    BoundedCalls& operator=(const BoundedCalls&) = delete;

    // Runs call after every call queued before it and waits at most
    // boundMs for it: true when it returned in that time. Otherwise false,
    // and it goes on alone, followed by ifGivenUp (on the same thread), which
    // cleans up what the caller no longer waits for. Called on the thread
    // itself, it just runs call.
    bool Run(std::function<void()> call, Milliseconds boundMs, std::function<void()> ifGivenUp = {});
    // Queues call after every call queued before it; never waits.
    void Post(std::function<void()> call);
    // True while a call that its caller gave up on has not returned: the
    // server it waits on does not answer.
    bool Stuck() const;
    // True on the thread that runs the calls.
    bool OnCallThread() const;

private:
    struct State;
    static void Serve(const std::shared_ptr<State>& state);

    std::shared_ptr<State> state_;
    std::thread::id threadId_;
};

} // namespace Platform
