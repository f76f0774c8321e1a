#include "platform/BoundedCalls.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace Platform {

namespace {

// Whether the caller still waits for a call, decided once under the lock:
// either the caller sees it done, or the call's thread runs its clean-up.
struct Waiter {
    bool done = false;
    bool givenUp = false;
};

struct Job {
    std::function<void()> call;
    std::function<void()> ifGivenUp;
    std::shared_ptr<Waiter> waiter;
};

} // namespace

// Shared with the thread, which may outlive the object (see the destructor).
struct BoundedCalls::State {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Job> queue;
    int stuck = 0;
    bool ending = false;
    bool finished = false;
};

void BoundedCalls::Serve(const std::shared_ptr<State>& state)
{
    std::unique_lock<std::mutex> lock(state->mutex);
    for (;;) {
        state->changed.wait(lock, [&] { return state->ending || !state->queue.empty(); });
        if (state->queue.empty()) {
            state->finished = true;
            state->changed.notify_all();
            return;
        }
        Job job = std::move(state->queue.front());
        state->queue.pop_front();
        lock.unlock();
        job.call();
        lock.lock();
        if (!job.waiter)
            continue;
        job.waiter->done = true;
        if (job.waiter->givenUp) {
            --state->stuck;
            if (job.ifGivenUp) {
                lock.unlock();
                job.ifGivenUp();
                lock.lock();
            }
        }
        state->changed.notify_all();
    }
}

BoundedCalls::BoundedCalls()
    : state_(std::make_shared<State>())
{
    std::thread thread([state = state_] { Serve(state); });
    threadId_ = thread.get_id();
    thread.detach();
}

BoundedCalls::~BoundedCalls()
{
    std::unique_lock<std::mutex> lock(state_->mutex);
    state_->ending = true;
    state_->changed.notify_all();
    if (state_->stuck == 0)
        state_->changed.wait_for(lock, std::chrono::milliseconds(EndWithinMs), [&] { return state_->finished; });
}

bool BoundedCalls::Run(std::function<void()> call, Milliseconds boundMs, std::function<void()> ifGivenUp)
{
    if (OnCallThread()) {
        call();
        return true;
    }
    auto waiter = std::make_shared<Waiter>();
    std::unique_lock<std::mutex> lock(state_->mutex);
    state_->queue.push_back(Job{std::move(call), std::move(ifGivenUp), waiter});
    state_->changed.notify_all();
    if (state_->changed.wait_for(lock, std::chrono::milliseconds(boundMs), [&] { return waiter->done; }))
        return true;
    waiter->givenUp = true;
    ++state_->stuck;
    return false;
}

void BoundedCalls::Post(std::function<void()> call)
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->queue.push_back(Job{std::move(call), {}, nullptr});
    state_->changed.notify_all();
}

bool BoundedCalls::Stuck() const
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->stuck > 0;
}

bool BoundedCalls::OnCallThread() const
{
    return std::this_thread::get_id() == threadId_;
}

} // namespace Platform
