#pragma once
// Base of the waterfall displays: a palette of 100 black pens of rising
// alpha, and a flag telling the drawing that the size changed.
#include "app/vis/ValueSource.h"
#include "app/vis/VisBase.h"

#include "framework/drawing/Pen.h"

#include <vector>

class Topdown : public VisBase {
public:
    Topdown(TiXmlElement* element, BlockSource source);

    bool SetSize(int width, int height) override;

    // Pen k has alpha 20 + trunc(k x 2.35).
    const std::vector<GdiplusGfxLayer::Pen>& Palette() const { return palette_; }

protected:
    bool resized_ = true;
    std::vector<GdiplusGfxLayer::Pen> palette_;
    float rowHeight_ = 1.0f;
    BlockSource source_;
};
