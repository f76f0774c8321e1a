#pragma once
// Showing an SDL window's X window ahead of SDL. SDL maps a window it shows
// and waits for the server to report it mapped, and unmaps one it hides (or
// takes down) and waits for the unmap; a window another client destroyed
// gives neither, and SDL would wait for ever.
struct SDL_Window;

namespace Platform {

// Maps a window the server holds unmapped and waits until the server reports
// it mapped or destroyed, whichever comes; false when destroyed. SDL then
// finds the window mapped and need not wait; the news of a destruction stays
// queued for the event loop, which tells the window of its loss.
bool MapUnlessDestroyed(SDL_Window* window);
// Hands SDL the news of the unmap that a window known to be destroyed never
// gives, for SDL's hide of a window that it counts shown.
void QueueUnmapNews(SDL_Window* window);

} // namespace Platform
