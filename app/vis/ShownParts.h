#pragma once
// What the moving parts of a display (a needle, a bar, a lamp) show on screen,
// so that a refresh draws again only what its new values change: nothing
// while they stay put, else where the parts were and where they go. A frame
// drawn between refreshes (under a focus ring, say) may show newer values in
// part; the next refresh then draws all that they covered again. So does one
// after a frame that drew newer values than its refresh found: the frame drew
// them only where that refresh asked.
#include "framework/drawing/Geometry.h"

class ShownParts {
public:
    // A frame drew the parts in `state`, covering `area` (empty: nothing).
    void Drawn(int state, const Vabo::Rect& area);
    // A refresh finds the parts in `state`, which covers `area`: what of the
    // display's rectangle `display` to draw again, empty when the screen
    // shows that state already.
    Vabo::Rect Refresh(int state, const Vabo::Rect& area, const Vabo::Rect& display);
    // The display is laid out anew: a refresh draws it all, unless the frame
    // draws it all already.
    void LaidOut();

    // The smallest rectangle holding both (an empty one holds nothing).
    static Vabo::Rect Union(const Vabo::Rect& a, const Vabo::Rect& b);

private:
    // Every state drawn since the last refresh that changed something.
    Vabo::Rect shown_;
    // What the last refresh found its state to cover.
    Vabo::Rect refreshedArea_;
    int drawnState_ = 0;
    int refreshedState_ = 0;
    // The next frame draws where the last refreshes asked; all of it.
    bool redrawing_ = false;
    bool redrawingAll_ = false;
    // The screen shows one state whole: the last drawn.
    bool whole_ = false;
    // A frame laid the display out anew where no refresh asked for it.
    bool relaid_ = true;
};
