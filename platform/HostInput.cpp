#include "platform/HostInput.h"

namespace Platform {

bool HostInput::IsUserInput() const
{
    switch (kind) {
    case Kind::KeyPress:
    case Kind::LeftButtonDown:
    case Kind::LeftButtonUp:
    case Kind::LeftButtonDblClk:
    case Kind::RightButtonDown:
    case Kind::RightButtonUp:
    case Kind::RightButtonDblClk:
    case Kind::MouseMove:
    case Kind::MouseWheel:
    case Kind::DropFile:
        return true;
    default:
        return false;
    }
}

} // namespace Platform
