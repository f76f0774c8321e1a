#pragma once
// What becomes of the process when its X server goes away, and which of our
// windows another client destroyed.
//
// Xlib ends the process by itself when the connection breaks (a logout, a
// dropped remote display) or the server reports an error: exit() then runs
// the handlers at exit, whose windows, destroyed on the dead connection, wait
// for ever for the server's answer. Here the process ends at once instead,
// after one call of the program's own (writing what it holds) that must make
// no X call, and with no window destroyed. So does a server out of memory.
//
// A request the server refuses for any other reason is logged and passed
// over: other clients' windows come and go under our requests (a drag whose
// source closed), and a window of ours that another client destroyed is no
// failure either: the event loop hands it a notice of its loss
// (HostInput::Kind::Destroyed).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Platform {

class DisplayWatch {
public:
    // Runs before the process ends with status 1 because the display was lost;
    // why says what happened, in words for the user ("the display went away
    // (...)"). It makes no X call (the connection may be dead).
    using LossCall = std::function<void(const std::string& why)>;

    // Watches SDL's X connection from now on (StartVideo does, on the X11 driver).
    static void Start();
    // Only the X library's handlers of a lost connection and of refused
    // requests, which need no SDL: StartVideo sets them before SDL opens its
    // connection, so a display lost meanwhile ends the process as later.
    static void WatchConnection();
    // The call replaces an earlier one; an empty call ends the process at once.
    static void OnLoss(LossCall call);

    // The windows of ours: the X window and SDL's id of it.
    static void Track(unsigned long xWindow, std::uint32_t windowId);
    // Before the window is destroyed by us.
    static void Untrack(unsigned long xWindow);
    // Whether another client destroyed the X window.
    static bool Destroyed(unsigned long xWindow);
    // SDL's ids of the windows another client destroyed since the last call.
    static std::vector<std::uint32_t> TakeDestroyed();
};

} // namespace Platform
