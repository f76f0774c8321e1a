// What a scroll object (or the scroll bar around it) tells its own connections
// when its bar moved: which way, by what kind of move, and how far in pixels.
#pragma once

#include <string>

#include "framework/core/Signal.h"

namespace Vabo {
namespace Signal {

class ScrollObjectSignal : public Base {
public:
    enum Direction { Forward = 0, Back = 1 };
    enum Kind { Tic = 0, Page = 1, Pixels = 2, AtStart = 3, AtEnd = 4 };

    ScrollObjectSignal(bool horizontal = false, int direction = Forward, int kind = Tic, int amount = 0)
        : Base(TypeIdOf<ScrollObjectSignal>(), false)
        , direction(direction)
        , kind(kind)
        , amount(amount)
        , horizontal(horizontal)
    {
    }
    std::string Name() const override { return "ScrollObjectSignal"; }

    int direction;
    int kind;
    // Pixels, for the pixel, start and end kinds.
    int amount;
    bool horizontal;
};

} // namespace Signal
} // namespace Vabo
