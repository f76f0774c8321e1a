#pragma once
// The desktop around a window: the work area of its monitor (the part not
// covered by panels), the pointer's screen position, and keeping a window
// inside a work area.
#include "platform/Rect.h"

struct SDL_Window;

namespace Platform {

// Usable bounds of the monitor that shows most of the window (the first
// monitor when SDL cannot tell); an empty rectangle without video.
Rect WorkAreaOf(SDL_Window* window);

// The pointer's position in screen coordinates.
void CursorScreenPosition(int& x, int& y);
// Whether the pointer is over the window, as the window's own events last told
// (asks the X server nothing, so it may be asked on every clock tick).
bool PointerIsOver(SDL_Window* window);

// Where a window with the rectangle `window` goes to lie inside `workArea`:
// pushed left and up by what passes the right and bottom edges, then at
// least at the work area's left and top (the top-left corner wins when the
// window is larger than the work area).
void KeepInsideWorkArea(const Rect& window, const Rect& workArea, int& x, int& y);

// Whether the left Ctrl key is held now.
bool IsLeftControlDown();

// Whether either Shift key is held now.
bool IsShiftDown();

} // namespace Platform
