#pragma once
// Minimising a window on the test display, where no window manager runs to
// carry out a minimise or a restore: the mark one puts on a minimised window
// is set or taken off as it would, and SDL reads it.
#include <SDL.h>

namespace TestSupport {

// True once SDL says the window is (not) minimised; the window's events are
// left in the queue for the loop.
bool MarkMinimised(SDL_Window* window, bool minimised);

} // namespace TestSupport
