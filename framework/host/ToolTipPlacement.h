// Where a tool tip goes: above the control it describes, or below it when the
// screen has no room above; never over it. Across, it starts at the pointer
// and is kept within the screen.
#pragma once

#include "platform/Rect.h"

namespace Vabo {

// All rectangles in screen coordinates; the result has the tip's size.
Platform::Rect PlaceToolTip(const Platform::Rect& control, int pointerX, int width, int height,
                            const Platform::Rect& screen);

} // namespace Vabo
