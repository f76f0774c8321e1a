#pragma once
// Windows inside other windows: an SDL window made an X11 child of another
// window's X11 window. It lies in its parent's client area, moves with it,
// is clipped by it and takes no part in the window manager's stacking; the
// parent draws around it. Its place is given in the parent's client
// coordinates.
#include "platform/Rect.h"

struct SDL_Window;

namespace Platform {

// Makes the (unmapped) window a child of the parent at (x, y) of the parent's
// client area. False, with the reason logged, when either is not an X11 window.
bool MakeChildWindow(SDL_Window* child, SDL_Window* parent, int x, int y);

// Gives a child window back to the screen, unmapped, so that it outlives its
// parent's X window.
void ReleaseChildWindow(SDL_Window* child);

// Moves a child window to (x, y) of its parent's client area.
void MoveChildWindow(SDL_Window* child, int x, int y);

// Maps or unmaps a child window. Unlike showing a top-level window this gives
// it no keyboard focus: the keys stay with the window that has them.
void ShowChildWindow(SDL_Window* child, bool shown);

// The child window's client area in screen coordinates.
Rect ChildWindowScreenRect(SDL_Window* child);

} // namespace Platform
