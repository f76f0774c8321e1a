#include "app/vis/ShownParts.h"

#include <algorithm>

Vabo::Rect ShownParts::Union(const Vabo::Rect& a, const Vabo::Rect& b)
{
    if (a.width <= 0 || a.height <= 0)
        return b;
    if (b.width <= 0 || b.height <= 0)
        return a;
    const int left = std::min(a.x, b.x);
    const int top = std::min(a.y, b.y);
    const int right = std::max(a.x + a.width, b.x + b.width);
    const int bottom = std::max(a.y + a.height, b.y + b.height);
    return {left, top, right - left, bottom - top};
}

void ShownParts::Drawn(int state, const Vabo::Rect& area)
{
    if (redrawing_) {
        // Drawn where the refresh asked: all of the display, or the state
        // it found, unless the values moved on since; then only part of the
        // new state shows, and outside what was asked, the screen may still
        // differ from it up to where the found state reached (a column that
        // sank past the rows asked for keeps them).
        whole_ = redrawingAll_ || state == refreshedState_;
        shown_ = whole_ ? area : Union(refreshedArea_, area);
        redrawing_ = false;
        redrawingAll_ = false;
    } else {
        shown_ = Union(shown_, area);
        whole_ = whole_ && state == drawnState_;
    }
    drawnState_ = state;
}

Vabo::Rect ShownParts::Refresh(int state, const Vabo::Rect& area, const Vabo::Rect& display)
{
    refreshedState_ = state;
    refreshedArea_ = area;
    if (relaid_) {
        relaid_ = false;
        redrawing_ = true;
        redrawingAll_ = true;
        return display;
    }
    if (whole_ && state == drawnState_)
        return {};
    redrawing_ = true;
    return Union(shown_, area);
}

void ShownParts::LaidOut()
{
    if (!redrawingAll_)
        relaid_ = true;
    whole_ = false;
}
