// Hands the inputs of one host window to its screen manager, one call per
// input, and tells whether a frame must be drawn: only when the screen
// manager reports something dirty (a lost window surface always needs one).
// A pointer that did not move since the last motion is not passed on.
#pragma once

#include "platform/HostInput.h"

namespace Vabo {

class ScreenManager;

class InputRouter {
public:
    explicit InputRouter(ScreenManager& screens)
        : screens_(screens)
    {
    }

    // hostFocused: whether the host window has the keyboard focus.
    bool Route(const Platform::HostInput& input, bool hostFocused);

private:
    ScreenManager& screens_;
    bool hasLastMouse_ = false;
    int lastMouseX_ = 0;
    int lastMouseY_ = 0;
};

} // namespace Vabo
