#pragma once
// The one millisecond clock every interval, animation, hover delay and cache
// age reads. Monotonic by default; tests replace it to drive time by hand.
#include <cstdint>
#include <functional>

namespace Platform {

using Milliseconds = std::int64_t;

// Milliseconds since an arbitrary fixed point; never goes backwards.
Milliseconds NowMs();

// Replaces the clock source (nullptr restores the monotonic clock).
void SetClockSource(std::function<Milliseconds()> source);

// A clock that only moves when told: installs itself on construction and
// restores the monotonic clock on destruction.
class ManualClock {
public:
    explicit ManualClock(Milliseconds start = 0);
    ~ManualClock();
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    void Advance(Milliseconds ms) { now_ += ms; }
    void Set(Milliseconds ms) { now_ = ms; }
    Milliseconds Now() const { return now_; }

private:
    Milliseconds now_;
};

} // namespace Platform
