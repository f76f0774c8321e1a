#pragma once
// One input or window event of a host window, already in the framework's terms:
// key codes as the widgets expect them, points in window coordinates, the
// wheel delta in notches of 120. Made by TranslateEvent from SDL events.
#include <cstdint>
#include <string>

namespace Platform {

// Marks a key code as a virtual-key code rather than a character.
constexpr std::uint32_t kVirtualKeyFlag = 0x80000000u;

// Virtual-key codes of the keys that arrive as virtual keys (flag added).
namespace VirtualKey {
constexpr std::uint32_t Back = 0x08;
constexpr std::uint32_t End = 0x23;
constexpr std::uint32_t Home = 0x24;
constexpr std::uint32_t Left = 0x25;
constexpr std::uint32_t Up = 0x26;
constexpr std::uint32_t Right = 0x27;
constexpr std::uint32_t Down = 0x28;
constexpr std::uint32_t Delete = 0x2E;
// Tab with Shift (Tab alone types the character 9).
constexpr std::uint32_t BackTab = 0x09;
} // namespace VirtualKey

// Wheel delta of one notch.
constexpr int kWheelNotch = 120;

struct HostInput {
    enum class Kind {
        KeyPress, // keyCode
        LeftButtonDown, // x, y
        LeftButtonUp,
        LeftButtonDblClk, // arrives instead of the second press
        RightButtonDown,
        RightButtonUp,
        RightButtonDblClk,
        MouseMove, // x, y
        MouseWheel, // x, y, wheelDelta
        Sized, // x = width, y = height of the client area
        Moved, // x, y = the window's new screen position
        FocusGained,
        FocusLost,
        Exposed, // the window's contents were lost: repaint all
        DropFile, // fileName; the point is filled in by the host from the cursor
        CloseRequest, // the window manager asks the window to close
        Destroyed, // another client destroyed the window: it shows no more
    };

    Kind kind = Kind::MouseMove;
    std::uint32_t windowId = 0; // SDL window id the event belongs to
    std::uint32_t keyCode = 0;
    int x = 0;
    int y = 0;
    int wheelDelta = 0;
    std::string fileName;

    // Keys, buttons, motion, wheel and drops: what a disabled window ignores.
    bool IsUserInput() const;
};

} // namespace Platform
