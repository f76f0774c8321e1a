#pragma once
// Moving and sizing a top-level SDL window without waiting on the window
// manager. SDL asks for a move or a size and then polls the server for up to
// a tenth of a second to see what the manager made of it; the request of a
// top-level window goes to the manager, and one that is stopped answers
// nothing, so every request held the window that long (a dozen at a start).
// Here the request is sent and not waited for: SDL learns of the window's
// place and size from the server's news, as of any change the manager makes.
struct SDL_Window;

namespace Platform {

void AskMove(SDL_Window* window, int x, int y);
// A window that cannot be resized tells the manager its new size as its only
// size, which managers hold to (as SDL does).
void AskResize(SDL_Window* window, int width, int height);
// A resizable window's smallest size, for the manager.
void AskMinimumSize(SDL_Window* window, int width, int height);

} // namespace Platform
