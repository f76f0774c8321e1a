// Hands the inputs of one host window to its screen manager, one call per
// input, and tells whether a frame must be drawn: only when the screen
// manager reports something dirty (a lost window surface always needs one).
// A pointer that did not move since the last motion is not passed on; one
// that stays at the same point of a window that moved did move.
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

    // hostFocused: whether the host window has the keyboard focus; (originX,
    // originY): the window's screen position.
    bool Route(const Platform::HostInput& input, bool hostFocused, int originX = 0, int originY = 0);

private:
    ScreenManager& screens_;
    bool hasLastMouse_ = false;
    int lastMouseX_ = 0;
    int lastMouseY_ = 0;
    int lastOriginX_ = 0;
    int lastOriginY_ = 0;
};

} // namespace Vabo
