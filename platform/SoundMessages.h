#pragma once
// The sound libraries report every device they probe and cannot open (ALSA,
// and JACK when no JACK server runs), ALSA reports stream failures from the
// engine thread, and PortAudio its own failed steps: all of it belongs in the
// diagnostic log, not on stderr. Their hooks may run on any thread, so they
// only post to this queue; the GUI thread flushes it to the log after each
// call into the libraries.
#include "platform/DiagnosticQueue.h"

namespace Platform {

DiagnosticQueue& SoundMessages();

// Sends ALSA's error messages to the queue. Made before the first call into
// ALSA (the sound-card check opens its mixer before any stream exists), and
// again at no cost.
void RouteAlsaMessages();

} // namespace Platform
