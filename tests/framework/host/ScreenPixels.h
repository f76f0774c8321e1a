// Reading and marking what the X server shows in a window, for the window
// tests. Kept apart because Xlib's macros clash with the framework's names.
#pragma once

#include <cstdint>

struct SDL_Window;

// The window's pixel as 0xRRGGBB; 0xDEADBEEF when it cannot be read.
std::uint32_t ShownPixel(SDL_Window* window, int x, int y);

// Paints a rectangle straight onto the window, behind the program's back.
bool PaintOnWindow(SDL_Window* window, int x, int y, int width, int height, std::uint32_t rgb);
