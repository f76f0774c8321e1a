// What an object slider tells its own connections on every change of value.
#pragma once

#include <string>

#include "framework/core/Signal.h"

namespace Vabo {
namespace Signal {

class ObjectSliderSignal : public Base {
public:
    explicit ObjectSliderSignal(int value = 0)
        : Base(TypeIdOf<ObjectSliderSignal>(), false)
        , value(value)
    {
    }
    std::string Name() const override { return "ObjectSliderSignal"; }

    int value;
};

} // namespace Signal
} // namespace Vabo
