#pragma once
// The curtain: one vertical stroke per column, centred on the middle line,
// as long and as dark as the loudest sample falling on that column.
#include "app/vis/ValueSource.h"
#include "app/vis/VisBase.h"

#include "framework/drawing/Geometry.h"
#include "framework/drawing/Pen.h"

#include <vector>

class OScopeCurtain : public VisBase {
public:
    OScopeCurtain(TiXmlElement* element, BlockSource source);

    bool Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height) override;
    // Whether the newest block differs from the one last drawn.
    bool ValuesChanged() override;

    // 100 black pens, alpha 50 + trunc(k x 2.05) for pen k.
    const std::vector<GdiplusGfxLayer::Pen>& Palette() const { return palette_; }

private:
    std::vector<GdiplusGfxLayer::Pen> palette_;
    BlockSource source_;
    std::vector<float> drawn_;
    std::vector<float> columns_;
    // The strokes of the frame being drawn, by pen.
    std::vector<std::vector<Vabo::Rect>> strokes_;
};
