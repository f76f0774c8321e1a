#pragma once
// Turns SDL events into host inputs. Pure: no SDL call, no display needed, so
// the whole table is tested headless. Key rules:
// - Backspace, Tab, Enter, Escape and Ctrl+A..Z give the character codes
//   8, 9, 13, 27 and 1..26 (SDL sends no text for control characters);
// - Backspace, the arrows, Home, End and Delete give their virtual-key code
//   with kVirtualKeyFlag, Backspace first the virtual key and then 8;
// - typed text gives one key press per Unicode code point (never flagged);
// - a second (fourth, ...) click gives a double click instead of a press
//   (SDL counts a click only within 2 pixels of the last, see StartVideo);
//   a press within the double-click time at the screen point of the press
//   before it, in another window, while that one shows no more, gives
//   nothing, nor does its release;
// - the wheel gives 120 per notch, positive away from the user, at the
//   pointer's position in window coordinates.
#include "platform/HostInput.h"

#include <SDL.h>

#include <functional>
#include <vector>

namespace Platform {

// The longest time between the presses of a double click, and how far apart
// (in pixels along each axis) they may lie.
constexpr int kDoubleClickMs = 500;
constexpr int kDoubleClickRadius = 2;

// What translation remembers between events: of a drop of several files only
// the first is reported; of each button, its last press (the window, 0 before
// any; the screen point; SDL's time stamp) and whether its release is dropped
// with it. And what it asks of the windows: whether one still shows (unset:
// none does).
struct TranslationState {
    struct Press {
        std::uint32_t window = 0;
        int x = 0;
        int y = 0;
        std::uint32_t time = 0;
        bool releaseDropped = false;
    };
    bool fileOfDropReported = false;
    Press left;
    Press right;
    std::function<bool(std::uint32_t windowId)> shows;
};

// (originX, originY): the screen position of the event's window.
std::vector<HostInput> TranslateEvent(const SDL_Event& event, TranslationState& state, int originX = 0,
                                      int originY = 0);

// Appends the Unicode code points of UTF-8 text; malformed bytes are skipped.
void AppendCodePoints(const char* utf8, std::vector<std::uint32_t>& codePoints);

} // namespace Platform
