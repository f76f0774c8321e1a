// Where a tool tip goes: above the control it describes, or below it when the
// screen has no room above; never over it. Across, it starts at the pointer
// and is kept within the screen. Given the other controls and captions
// around, it covers none of them: above or below, starting or ending at the
// pointer, moved on a little past a neighbour's end where one is in the way;
// or, for a control large enough to hold it (a display), inside the control
// at the edge away from the pointer. A neighbour lying over the control goes
// with it: above or below, the tip stands beside them both.
#pragma once

#include "platform/Rect.h"

#include <vector>

namespace Vabo {

// All rectangles in screen coordinates; the result has the tip's size.
Platform::Rect PlaceToolTip(const Platform::Rect& control, int pointerX, int width, int height,
                            const Platform::Rect& screen);
// The same, leaving the rectangles of keepClear uncovered where one of the
// places allows it (the nearest to the control first); else as above.
Platform::Rect PlaceToolTip(const Platform::Rect& control, int pointerX, int pointerY, int width, int height,
                            const Platform::Rect& screen, const std::vector<Platform::Rect>& keepClear);

} // namespace Vabo
