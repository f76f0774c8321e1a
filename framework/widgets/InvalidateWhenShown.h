// Repaints an object when its tree is shown by a screen manager; a widget set
// up in code before it joins such a tree has nothing to repaint yet.
#pragma once

#include "framework/core/GuiObject.h"
#include "framework/core/ScreenManagerNotReady.h"

namespace Vabo {

inline void InvalidateWhenShown(GuiObject& object)
{
    try {
        object.Invalidate();
    } catch (const ScreenManagerNotReady&) {
    }
}

} // namespace Vabo
