#pragma once
// The one thread on which every call that may wait on the sound server runs,
// for streams and mixers alike: a call that waits holds back the ones behind
// it, which would wait on the same server.
#include "platform/BoundedCalls.h"
#include "platform/Clock.h"

namespace Platform {

// The longest the window's thread waits for the server in one call of ours
// that may reach it (a stream's open, start, stop or close; the mixer's calls
// are posted and never waited for), the check that comes before an open
// included: a stopped server answers nothing, and the window would stand as
// long. The streams' calls made for one event of the window wait that long
// in all (WindowWaitBudget.h). It must never stand half a second; what is
// left of that is for the thread switches of a loaded machine. A server that
// answers, however busy, takes far less for each of these
// (bench/server_calls: at most 150 ms with eight CPU hogs).
constexpr Milliseconds WindowWaitMs = 400;
// Initialising the sound library, once at start-up before any window shows:
// it looks at every device, the server's among them.
constexpr Milliseconds StartUpWithinMs = 3000;

BoundedCalls& SoundServerCalls();

} // namespace Platform
