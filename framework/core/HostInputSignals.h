// The rest of the input and window signal family (the tree's own reactions to
// button presses, window activation, screen activation and the clock live with
// the object tree): built by the host window and its screen manager and
// connected to from skins by name.
#pragma once

#include <cstdint>
#include <string>

#include "framework/core/InputSignals.h"
#include "framework/core/Signal.h"

namespace Vabo {
namespace Signal {

class MouseMove : public Positional {
public:
    MouseMove(int x = 0, int y = 0)
        : Positional(TypeIdOf<MouseMove>(), x, y, false)
    {
    }
    std::string Name() const override { return "MouseMove"; }
};

// The wheel turned by delta (120 a notch, positive away from the user) at a point.
class MouseWheel : public Positional {
public:
    MouseWheel(int x = 0, int y = 0, std::int32_t delta = 0)
        : Positional(TypeIdOf<MouseWheel>(), x, y, false)
        , delta(delta)
    {
    }
    std::string Name() const override { return "MouseWheel"; }

    std::int32_t delta;
};

class LeftButtonDblClk : public Positional {
public:
    LeftButtonDblClk(int x = 0, int y = 0)
        : Positional(TypeIdOf<LeftButtonDblClk>(), x, y, false)
    {
    }
    std::string Name() const override { return "LeftButtonDblClk"; }
};

class RightButtonDblClk : public Positional {
public:
    RightButtonDblClk(int x = 0, int y = 0)
        : Positional(TypeIdOf<RightButtonDblClk>(), x, y, false)
    {
    }
    std::string Name() const override { return "RightButtonDblClk"; }
};

class RightButtonDown : public Positional {
public:
    RightButtonDown(int x = 0, int y = 0)
        : Positional(TypeIdOf<RightButtonDown>(), x, y, false)
    {
    }
    std::string Name() const override { return "RightButtonDown"; }
};

class RightButtonUp : public Positional {
public:
    RightButtonUp(int x = 0, int y = 0)
        : Positional(TypeIdOf<RightButtonUp>(), x, y, false)
    {
    }
    std::string Name() const override { return "RightButtonUp"; }
};

class GuiBuilderActivate : public Base {
public:
    GuiBuilderActivate()
        : Base(TypeIdOf<GuiBuilderActivate>(), true)
    {
    }
    std::string Name() const override { return "GuiBuilderActivate"; }
};

// The host window's client area got this size.
class WindowSized : public Base {
public:
    WindowSized(std::int32_t width = 0, std::int32_t height = 0)
        : Base(TypeIdOf<WindowSized>(), true)
        , width(width)
        , height(height)
    {
    }
    std::string Name() const override { return "WindowSized"; }

    std::int32_t width;
    std::int32_t height;
};

// Sent to one object: focusLost is false when it gains the keyboard focus, true when it loses it.
class FocusChange : public Base {
public:
    explicit FocusChange(bool focusLost = false)
        : Base(TypeIdOf<FocusChange>(), true)
        , focusLost(focusLost)
    {
    }
    std::string Name() const override { return "FocusChange"; }

    bool focusLost;
};

// A file dropped on the window at a point.
class DropFile : public Positional {
public:
    DropFile(int x = 0, int y = 0, const std::string& fileName = std::string())
        : Positional(TypeIdOf<DropFile>(), x, y, false)
        , fileName(fileName)
    {
    }
    std::string Name() const override { return "DropFile"; }

    std::string fileName;
};

class GuiBuilderSelect : public Positional {
public:
    GuiBuilderSelect(int x = 0, int y = 0)
        : Positional(TypeIdOf<GuiBuilderSelect>(), x, y, true)
    {
    }
    std::string Name() const override { return "GuiBuilderSelect"; }
};

// The host window's client area moved to (x, y) on the screen.
class HostWindowMoved : public Base {
public:
    HostWindowMoved(std::int32_t x = 0, std::int32_t y = 0)
        : Base(TypeIdOf<HostWindowMoved>(), true)
        , x(x)
        , y(y)
    {
    }
    std::string Name() const override { return "HostWindowMoved"; }

    std::int32_t x;
    std::int32_t y;
};

// A typed character, or a virtual-key code with the top bit (0x80000000) set
// for Backspace, the arrows, Home, End and Delete.
class KeyPress : public Base {
public:
    explicit KeyPress(std::uint32_t code = 0)
        : Base(TypeIdOf<KeyPress>(), false)
        , code(code)
    {
    }
    std::string Name() const override { return "KeyPress"; }

    std::uint32_t code;
};

} // namespace Signal
} // namespace Vabo
