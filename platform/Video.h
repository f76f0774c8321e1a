#pragma once
// Starting SDL's video and event subsystems on the X11 driver: the one
// platform start-up every window, the event loop and the clipboard need.
#include <string>

namespace Platform {

// Starts SDL video once per process; later calls report the first result.
// A failure is logged with its reason and returns false. On the X11 driver
// the display is first opened on its own, to know why it cannot be.
bool StartVideo();

// Whether StartVideo succeeded.
bool IsVideoStarted();

// SDL's reason for the last failure, for messages; when video could not
// start, why (a display that refused us says why).
std::string VideoError();

} // namespace Platform
