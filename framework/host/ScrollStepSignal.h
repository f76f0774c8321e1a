// Asks a scroll window with explicit tic counts to step its vertical bar one
// tic forward (direction 0) or back (1).
#pragma once

#include <string>

#include "framework/core/Signal.h"

namespace Vabo {
namespace Signal {

class ScrollStep : public Base {
public:
    explicit ScrollStep(int direction = 0)
        : Base(TypeIdOf<ScrollStep>(), false)
        , direction(direction)
    {
    }
    std::string Name() const override { return "ScrollStep"; }

    int direction;
};

} // namespace Signal
} // namespace Vabo
