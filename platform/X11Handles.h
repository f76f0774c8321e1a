#pragma once
// The X display and window behind an SDL window, for the few things SDL does
// not do itself (outlines, child windows).
#include <X11/Xlib.h>

#include <string>

struct SDL_Window;

namespace Platform {

// False, with the reason in why, when the window is null or not an X11 window.
bool X11HandlesOf(SDL_Window* window, Display*& display, ::Window& handle, std::string& why);

} // namespace Platform
