#include "framework/host/InputRouter.h"

#include "framework/core/HostInputSignals.h"
#include "framework/host/ScreenManager.h"

namespace Vabo {

bool InputRouter::Route(const Platform::HostInput& input, bool hostFocused, int originX, int originY)
{
    using Kind = Platform::HostInput::Kind;
    // The screens may lie inside margins (a maximised window keeping its aspect).
    const Rect& frame = screens_.GetContentFrame();
    const Point point{input.x - frame.x, input.y - frame.y};
    switch (input.kind) {
    case Kind::KeyPress:
        return screens_.KeyPress(input.keyCode);
    case Kind::LeftButtonDown:
        return screens_.LeftButtonDown(point);
    case Kind::LeftButtonUp:
        return screens_.LeftButtonUp(point);
    case Kind::LeftButtonDblClk:
        return screens_.LeftButtonDblClk(point);
    case Kind::RightButtonDown:
        return screens_.RightButtonDown(point);
    case Kind::RightButtonUp:
        return screens_.RightButtonUp(point);
    case Kind::RightButtonDblClk:
        return screens_.RightButtonDblClk(point);
    case Kind::MouseMove: {
        // A window dragged along with the pointer keeps the pointer at one
        // point of it while the pointer travels on.
        if (hasLastMouse_ && input.x == lastMouseX_ && input.y == lastMouseY_ && originX == lastOriginX_
            && originY == lastOriginY_)
            return false;
        const bool redraw = screens_.MouseMove(point, hostFocused);
        hasLastMouse_ = true;
        lastMouseX_ = input.x;
        lastMouseY_ = input.y;
        lastOriginX_ = originX;
        lastOriginY_ = originY;
        return redraw;
    }
    case Kind::MouseWheel:
        return screens_.MouseWheel(point, input.wheelDelta);
    case Kind::Sized:
        return screens_.WindowSized(input.x, input.y);
    case Kind::Moved: {
        Signal::HostWindowMoved moved(input.x, input.y);
        screens_.Broadcast(moved, true);
        return false;
    }
    case Kind::FocusGained:
        screens_.SetWindowActive(true);
        return false;
    case Kind::FocusLost:
        screens_.SetWindowActive(false);
        return false;
    case Kind::Exposed:
        return screens_.InvalidateAll();
    case Kind::DropFile:
        screens_.DropFile(input.fileName, point);
        return false;
    case Kind::CloseRequest:
    case Kind::Destroyed:
        return false;
    }
    return false;
}

} // namespace Vabo
