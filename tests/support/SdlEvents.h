#pragma once
// Input pushed into SDL's queue as if it came from the display, addressed to
// one window: what the window's event loop sees without moving the real pointer.
#include <SDL.h>

#include <cstdint>
#include <string>

namespace TestSupport {

// A left button press and release at (x, y) in the window.
void PushClick(std::uint32_t windowId, int x, int y);
// A pointer move to (x, y) in the window.
void PushMotion(std::uint32_t windowId, int x, int y);
// A key press and release, with the modifiers held (Shift for Shift+Tab).
void PushKey(std::uint32_t windowId, SDL_Keycode key, Uint16 modifiers = KMOD_NONE);
// Typed text, as the input method delivers it.
void PushText(std::uint32_t windowId, const std::string& text);

} // namespace TestSupport
