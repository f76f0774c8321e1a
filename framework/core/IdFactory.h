#pragma once
// The counter that numbers objects: each new GuiObject takes the next value,
// so the first object is 1 and no id is ever given twice or is 0.
#include <cstdint>

namespace Vabo {

struct IdFactory_ {
    std::uint32_t counter = 0;

    std::uint32_t Next() { return ++counter; }
};

} // namespace Vabo

Vabo::IdFactory_& DllIdFactoryInstance();
