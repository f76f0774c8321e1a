#pragma once
// The input and window signals that the object tree itself reacts to or that its
// containers listen for. The host window's screen manager builds and sends them.

#include <cstdint>
#include <string>

#include "framework/core/Signal.h"

namespace Vabo {
namespace Signal {

class LeftButtonDown : public Positional {
public:
    LeftButtonDown()
        : LeftButtonDown(0, 0)
    {
    }
    LeftButtonDown(int x, int y)
        : Positional(TypeIdOf<LeftButtonDown>(), x, y, false)
    {
    }
    std::string Name() const override { return "LeftButtonDown"; }
};

class LeftButtonUp : public Positional {
public:
    LeftButtonUp()
        : LeftButtonUp(0, 0)
    {
    }
    LeftButtonUp(int x, int y)
        : Positional(TypeIdOf<LeftButtonUp>(), x, y, false)
    {
    }
    std::string Name() const override { return "LeftButtonUp"; }
};

// The host window gained (deactivated false) or lost (true) the keyboard focus.
class WindowActivated : public Base {
public:
    explicit WindowActivated(bool deactivated = false)
        : Base(TypeIdOf<WindowActivated>(), true)
        , deactivated(deactivated)
    {
    }
    std::string Name() const override { return "WindowActivated"; }

    bool deactivated;
};

// Sent with false to the screen being left and with true to the screen being entered.
class ScreenActivation : public Base {
public:
    explicit ScreenActivation(bool activated = false)
        : Base(TypeIdOf<ScreenActivation>(), true)
        , activated(activated)
    {
    }
    std::string Name() const override { return "ScreenActivation"; }

    bool activated;
};

// The GUI clock's tick, carrying the milliseconds since the screen manager
// started. A listener of the tick is one of two kinds:
//  - connected plainly (AddSlot, Connect, a skin's "Connect"), it gets the
//    steady tick: about every 10 ms while its window is shown;
//  - connected with AddScheduledTickSlot or ConnectScheduledTick, it says
//    itself when it is next due (a Platform::TickGate, or
//    Platform::RequestTickAt at each tick it is served), and gets a first
//    tick when it is connected. Its window may tick sooner for others, so it
//    checks its own time at every tick.
// While every listener of a window says when it is next due, the window's
// clock sleeps until the earliest of those times.
class Timer : public Base {
public:
    explicit Timer(std::int64_t elapsed = 0)
        : Base(TypeIdOf<Timer>(), true)
        , elapsed(elapsed)
    {
    }
    std::string Name() const override { return "Timer"; }

    std::int64_t elapsed;
};

} // namespace Signal
} // namespace Vabo
