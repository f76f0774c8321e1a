#pragma once
// What a display draws the same way frame after frame (its background, labels,
// scale), kept as a picture of the display's rectangle: drawn once, then
// copied under the parts that move until the display forgets it.
#include "framework/drawing/Geometry.h"
#include "framework/drawing/Image.h"

#include <functional>
#include <memory>

namespace GdiplusGfxLayer {
class Painter;
}

class FixedLayer {
public:
    // Draws the picture of the rectangle at the rectangle; `draw` paints it,
    // in the same coordinates as the painter's, when there is none yet.
    void Draw(GdiplusGfxLayer::Painter& painter, const Vabo::Rect& rect,
              const std::function<void(GdiplusGfxLayer::Painter&)>& draw);
    // The next Draw paints the picture again: what it shows has changed.
    void Forget() { picture_.reset(); }

private:
    std::unique_ptr<GdiplusGfxLayer::Image> picture_;
    Vabo::Rect rect_;
};
