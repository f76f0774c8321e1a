#pragma once
// A pen for lines: colour, width in user units and the caps of both ends.
// Long-lived pens (needles, scales) are built once and shared.
#include "framework/drawing/Color.h"

namespace GdiplusGfxLayer {

class Pen {
public:
    // Cap codes as skins and widgets give them.
    enum Cap { Flat = 0, Square = 1, Round = 2, ArrowAnchor = 20 };

    Pen(const Color& color, float width);

    // False (and the cap left unchanged) for a code this layer does not draw.
    bool SetStartCap(int cap);
    bool SetEndCap(int cap);

    const Color& GetColor() const { return color_; }
    float GetWidth() const { return width_; }
    int GetStartCap() const { return startCap_; }
    int GetEndCap() const { return endCap_; }

    // Quick edges shade a line's edge pixels from fewer samples: a long,
    // jagged line redrawn many times a second costs about half as much, and
    // its edges differ from smooth ones by a shade here and there.
    void SetQuickEdges(bool quick) { quickEdges_ = quick; }
    bool HasQuickEdges() const { return quickEdges_; }

private:
    Color color_;
    float width_;
    int startCap_ = Flat;
    int endCap_ = Flat;
    bool quickEdges_ = false;
};

} // namespace GdiplusGfxLayer
