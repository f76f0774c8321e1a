#pragma once
// Signals by which objects announce changes and ask each other for things: clicks,
// selection, visibility, readiness, tooltips and the wiring of XML connections.

#include <string>
#include <vector>

#include "framework/core/Signal.h"

namespace Vabo {
namespace Signal {

// A click on an object: sent to the clicked object's own connections.
class Activate : public Base {
public:
    Activate()
        : Base(TypeIdOf<Activate>(), false)
    {
    }
    std::string Name() const override { return "Activate"; }
};

// Sent after Activate when press and release both hit the object.
class MouseClick : public Positional {
public:
    MouseClick()
        : MouseClick(0, 0)
    {
    }
    MouseClick(int x, int y)
        : Positional(TypeIdOf<MouseClick>(), x, y, false)
    {
    }
    std::string Name() const override { return "MouseClick"; }
};

// Asks every object of a tree to connect the slots its "Connect" elements name.
class ConnectXMLSlots : public Base {
public:
    ConnectXMLSlots()
        : Base(TypeIdOf<ConnectXMLSlots>(), true)
    {
    }
    std::string Name() const override { return "Signal::ConnectXMLSlots"; }
};

// Raised by an object once it is built and shown.
class ObjectReady : public Base {
public:
    ObjectReady()
        : Base(TypeIdOf<ObjectReady>(), true)
    {
    }
    std::string Name() const override { return "Signal::ObjectReady"; }
};

class Hide : public Base {
public:
    Hide()
        : Base(TypeIdOf<Hide>(), true)
    {
    }
    std::string Name() const override { return "Signal::Hide"; }
};

class Show : public Base {
public:
    Show()
        : Base(TypeIdOf<Show>(), true)
    {
    }
    std::string Name() const override { return "Signal::Show"; }
};

class ObjectSelected : public Base {
public:
    ObjectSelected()
        : Base(TypeIdOf<ObjectSelected>(), false)
    {
    }
    std::string Name() const override { return "ObjectSelected"; }
};

class ObjectDeselected : public Base {
public:
    ObjectDeselected()
        : Base(TypeIdOf<ObjectDeselected>(), false)
    {
    }
    std::string Name() const override { return "ObjectDeselected"; }
};

class ObjectVisibilityChange : public Base {
public:
    explicit ObjectVisibilityChange(bool visible = false)
        : Base(TypeIdOf<ObjectVisibilityChange>(), true)
        , visible(visible)
    {
    }
    std::string Name() const override { return "ObjectVisibilityChange"; }

    bool visible;
};

// Selects the objects under its point (select flag set) or deselects the selected
// ones that are not under it and were not just selected by it (flag clear).
class SelectObject : public Positional {
public:
    SelectObject()
        : SelectObject(0, 0, nullptr)
    {
    }
    SelectObject(int x, int y, GuiObject* requester)
        : Positional(TypeIdOf<SelectObject>(), x, y, false)
        , requester(requester)
    {
    }
    std::string Name() const override { return "SelectObject"; }

    bool HoldsId(int id) const;

    std::vector<int> selectedIds;
    bool select = true;
    GuiObject* requester;
};

// Keyboard navigation. Direction: 0 left, 1 right, 2 up, 3 down. The chosen object
// is the one a handler moved the selection to; once set, later handlers leave the
// navigation alone.
class SelectNextObject : public Base {
public:
    explicit SelectNextObject(int direction = 0)
        : Base(TypeIdOf<SelectNextObject>(), false)
        , direction(direction)
    {
    }
    std::string Name() const override { return "SelectNextObject"; }
    void ClearReceivers() override
    {
        Base::ClearReceivers();
        chosen = nullptr;
    }

    GuiObject* chosen = nullptr;
    int direction;
};

// Shows the tooltip of the deepest visible object under the point; that object
// claims the signal so that its ancestors leave theirs hidden.
class ShowToolTip : public Positional {
public:
    ShowToolTip()
        : ShowToolTip(0, 0)
    {
    }
    ShowToolTip(int x, int y)
        : Positional(TypeIdOf<ShowToolTip>(), x, y, false)
    {
    }
    std::string Name() const override { return "ShowToolTip"; }

    GuiObject* claimer = nullptr;
};

} // namespace Signal
} // namespace Vabo
