// What the dialog keys ask of a window, raised by the key bindings of Return
// and Space (Confirm: press the focused control, or a box's default button)
// and of Escape (Cancel: close a list, a box or a dialog without choosing).
#pragma once

#include <string>

#include "framework/core/Signal.h"

namespace Vabo {
namespace Signal {

class Confirm : public Base {
public:
    Confirm()
        : Base(TypeIdOf<Confirm>(), true)
    {
    }
    std::string Name() const override { return "Confirm"; }
};

class Cancel : public Base {
public:
    Cancel()
        : Base(TypeIdOf<Cancel>(), true)
    {
    }
    std::string Name() const override { return "Cancel"; }
};

} // namespace Signal
} // namespace Vabo
