// Whether an object's window is minimised, where nothing of it shows; false
// for an object in no window yet (built in code, not yet in a shown tree).
#pragma once

#include "framework/core/GuiObject.h"
#include "framework/core/ScreenManagerNotReady.h"
#include "framework/host/Window.h"

namespace Vabo {

inline bool InMinimisedWindow(GuiObject& object)
{
    try {
        const auto* window = dynamic_cast<Window*>(object.GetRootObject());
        return window && window->IsMinimized();
    } catch (const ScreenManagerNotReady&) {
        return false;
    }
}

} // namespace Vabo
