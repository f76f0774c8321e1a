// The GUI builder's nudge of the selected object: steps for its x, y, width
// and height, raised by the builder's key bindings of every window.
#pragma once

#include <cstdint>
#include <string>

#include "framework/core/Signal.h"

namespace Vabo {
namespace Signal {

class GuiBuilderPosition : public Base {
public:
    GuiBuilderPosition(std::int32_t x = 0, std::int32_t y = 0, std::int32_t width = 0, std::int32_t height = 0)
        : Base(TypeIdOf<GuiBuilderPosition>(), true)
        , x(x)
        , y(y)
        , width(width)
        , height(height)
    {
    }
    std::string Name() const override { return "GuiBuilderPosition"; }

    std::int32_t x;
    std::int32_t y;
    std::int32_t width;
    std::int32_t height;
};

} // namespace Signal
} // namespace Vabo
