#pragma once
// When the GUI clock has to tick next. The clock sleeps while nothing is due:
// whatever waits for a time or moves on the clock (a tick's listener, an
// animation started, a drag) asks here, on the GUI thread, and the event
// loop ticks every window by then.
#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/Clock.h"

namespace Platform {

constexpr Milliseconds kNoTick = std::numeric_limits<Milliseconds>::max();

// A tick at `at` (a NowMs reading) or soon after; a time already past asks for
// the next one the clock's shortest period allows.
void RequestTickAt(Milliseconds at);
// The next shortest-period tick: something moves.
inline void RequestNextTick()
{
    RequestTickAt(0);
}
// The first reading at which more than `seconds` have passed since `since`:
// when an interval measured that way is next due.
inline Milliseconds FirstReadingBeyond(Milliseconds since, float seconds)
{
    return since + Milliseconds(std::floor(double(seconds) * 1000.0)) + 1;
}
// The earliest time asked for since the last call (kNoTick when none), and
// forgets it.
Milliseconds TakeRequestedTick();

} // namespace Platform
