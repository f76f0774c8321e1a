#pragma once
// The one thread on which every call that may wait on the sound server runs,
// for streams and mixers alike: a call that waits holds back the ones behind
// it, which would wait on the same server.
#include "platform/BoundedCalls.h"
#include "platform/Clock.h"

namespace Platform {

// The longest a call waits for the server. Opening a stream or a mixer
// connects to the server; starting a stream and stopping a capture (which
// waits for its next buffer, and the server's plugin may take two seconds to
// deliver a capture's first) are slow on a loaded machine. Anything else (an
// abort, a close, a mixer's write) a healthy server answers at once.
constexpr Milliseconds SlowCallWithinMs = 3000;
constexpr Milliseconds QuickCallWithinMs = 500;

BoundedCalls& SoundServerCalls();

} // namespace Platform
