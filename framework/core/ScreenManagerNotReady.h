#pragma once
// Thrown when an object needs the screen manager of its tree and the tree has none yet.

#include <stdexcept>

namespace Vabo {

class ScreenManagerNotReady : public std::logic_error {
public:
    ScreenManagerNotReady()
        : std::logic_error("ScreenManagerNotReady")
    {
    }
};

} // namespace Vabo
