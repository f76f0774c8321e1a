#pragma once
// Showing, hiding, restoring and taking down an SDL window without waiting on
// the window manager. SDL maps a window it shows (or restores) and then waits
// for the server's news of the map, and withdraws one it hides (or takes
// down) and waits for the news of the unmap. The map of a managed window is
// the manager's to make: a manager that is stopped, killed or replaced, or
// that keeps the window iconic, makes none, and a window another client
// destroyed gives no news at all. SDL would wait for ever.
//
// Here the news SDL waits for is handed to it ahead of its call, so that its
// wait ends at once: the map is asked for and the loop goes on. The server's
// own news of the map comes later, or never, through the event loop like any
// other (a window that is mapped late is exposed then and drawn; one the
// manager keeps iconic is minimised; one destroyed is told as gone).
struct SDL_Window;

namespace Platform {

// SDL_ShowWindow: SDL counts the window shown from now on.
void ShowWithoutWaiting(SDL_Window* window);
// SDL_HideWindow. The unmap is the server's to make, never the manager's: its
// news is taken off the queue, where it would be read as a minimise.
void HideWithoutWaiting(SDL_Window* window);
// SDL_RestoreWindow, which maps a minimised window again.
void RestoreWithoutWaiting(SDL_Window* window);
// SDL_DestroyWindow, which first hides a window it counts shown.
void DestroyWithoutWaiting(SDL_Window* window);
// Whether the server has the window mapped (viewable or not) now; false for a
// window that is gone. Asks the X server, not the window manager.
bool IsMappedNow(SDL_Window* window);

} // namespace Platform
