#pragma once
// The outline of a shaped window: the window shows (and takes input) only
// inside a union of rectangles, set through the X Shape extension on the SDL
// window's X11 window.
#include "platform/Rect.h"

#include <vector>

struct SDL_Window;

namespace Platform {

// Cuts the window to the union of the rectangles, in window coordinates (an
// empty list leaves nothing of the window). False, with the reason logged,
// when the window is not an X11 window or the server has no Shape extension.
bool SetWindowShape(SDL_Window* window, const std::vector<Rect>& rectangles);

// The rectangles the X server holds as the window's outline (the whole window
// as one rectangle when it was never cut). False when it cannot be read.
bool GetWindowShape(SDL_Window* window, std::vector<Rect>& rectangles);

} // namespace Platform
