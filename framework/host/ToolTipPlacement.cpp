#include "framework/host/ToolTipPlacement.h"

#include <algorithm>

namespace Vabo {

namespace {

// Between the tip and its control.
constexpr int kGap = 2;

} // namespace

Platform::Rect PlaceToolTip(const Platform::Rect& control, int pointerX, int width, int height,
                            const Platform::Rect& screen)
{
    Platform::Rect tip{pointerX, control.y - height - kGap, width, height};
    const int roomAbove = control.y - kGap - screen.y;
    const int roomBelow = screen.Bottom() - (control.Bottom() + kGap);
    if (roomAbove < height && roomBelow >= roomAbove)
        tip.y = control.Bottom() + kGap;
    // The right edge first: a tip wider than the screen keeps its start.
    tip.x = std::max(screen.x, std::min(tip.x, screen.Right() - width));
    tip.y = std::max(screen.y, std::min(tip.y, screen.Bottom() - height));
    return tip;
}

} // namespace Vabo
