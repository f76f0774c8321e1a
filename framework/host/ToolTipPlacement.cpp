#include "framework/host/ToolTipPlacement.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace Vabo {

namespace {

// Between the tip and its control.
constexpr int kGap = 2;

bool Overlap(const Platform::Rect& a, const Platform::Rect& b)
{
    return a.x < b.Right() && b.x < a.Right() && a.y < b.Bottom() && b.y < a.Bottom();
}

Platform::Rect Union(const Platform::Rect& a, const Platform::Rect& b)
{
    const int x = std::min(a.x, b.x), y = std::min(a.y, b.y);
    return {x, y, std::max(a.Right(), b.Right()) - x, std::max(a.Bottom(), b.Bottom()) - y};
}

// The right edge first: a tip wider than the screen keeps its start.
Platform::Rect OnScreen(Platform::Rect tip, const Platform::Rect& screen)
{
    tip.x = std::max(screen.x, std::min(tip.x, screen.Right() - tip.width));
    tip.y = std::max(screen.y, std::min(tip.y, screen.Bottom() - tip.height));
    return tip;
}

} // namespace

Platform::Rect PlaceToolTip(const Platform::Rect& control, int pointerX, int width, int height,
                            const Platform::Rect& screen)
{
    Platform::Rect tip{pointerX, control.y - height - kGap, width, height};
    const int roomAbove = control.y - kGap - screen.y;
    const int roomBelow = screen.Bottom() - (control.Bottom() + kGap);
    if (roomAbove < height && roomBelow >= roomAbove)
        tip.y = control.Bottom() + kGap;
    return OnScreen(tip, screen);
}

Platform::Rect PlaceToolTip(const Platform::Rect& control, int pointerX, int pointerY, int width, int height,
                            const Platform::Rect& screen, const std::vector<Platform::Rect>& around)
{
    // A neighbour that lies over the control (a slider drawn across a meter)
    // stands where any tip beside the control would touch it: the two are
    // one piece to the eye, and the tip goes beside them both.
    Platform::Rect piece = control;
    std::vector<Platform::Rect> keepClear = around;
    for (bool grown = true; grown;) {
        grown = false;
        for (auto other = keepClear.begin(); other != keepClear.end(); ++other) {
            if (!Overlap(piece, *other))
                continue;
            piece = Union(piece, *other);
            keepClear.erase(other);
            grown = true;
            break;
        }
    }
    const auto firstCovered = [&](const Platform::Rect& tip) {
        return std::find_if(keepClear.begin(), keepClear.end(),
                            [&](const Platform::Rect& other) { return Overlap(tip, other); });
    };
    // Above or below, from the pointer on or ending at it. Where a neighbour
    // stands in the way, the tip moves on away from its control past that
    // neighbour's end (a slider beside it, the caption under that), by no
    // more than its own height and the gaps, so that it stays by its control
    // and never leaps over a whole neighbour.
    const int reach = height + 2 * kGap;
    std::optional<Platform::Rect> best;
    int bestMove = reach + 1;
    for (const int y : {piece.y - height - kGap, piece.Bottom() + kGap}) {
        for (const int x : {pointerX, pointerX - width}) {
            const Platform::Rect start = OnScreen({x, y, width, height}, screen);
            if (Overlap(start, piece))
                continue;
            const bool up = start.y < piece.y;
            Platform::Rect tip = start;
            for (auto other = firstCovered(tip); other != keepClear.end() && std::abs(tip.y - start.y) <= reach;
                 other = firstCovered(tip))
                tip.y = up ? other->y - height - kGap : other->Bottom() + kGap;
            const int moved = std::abs(tip.y - start.y);
            const bool onScreen = tip.y >= screen.y && tip.Bottom() <= screen.Bottom();
            if (moved < bestMove && onScreen && firstCovered(tip) == keepClear.end()) {
                best = tip;
                bestMove = moved;
            }
        }
    }
    if (best)
        return *best;
    // Inside, clear of the pointer: the control's half without it holds the
    // tip, which must leave whatever lies over the control uncovered too.
    if (width <= control.width - 2 * kGap && height <= control.height / 2 - 2 * kGap) {
        const bool pointerLow = pointerY >= control.y + control.height / 2;
        Platform::Rect tip{std::clamp(pointerX, control.x + kGap, control.Right() - kGap - width),
                           pointerLow ? control.y + kGap : control.Bottom() - kGap - height, width, height};
        tip = OnScreen(tip, screen);
        if (std::none_of(around.begin(), around.end(), [&](const Platform::Rect& other) { return Overlap(tip, other); }))
            return tip;
    }
    return PlaceToolTip(piece, pointerX, width, height, screen);
}

} // namespace Vabo
