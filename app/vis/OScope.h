#pragma once
// The oscilloscope: the newest block as a trace across the display, one
// column per pixel, positive samples below the centre line.
#include "app/vis/ValueSource.h"
#include "app/vis/VisBase.h"

#include "framework/drawing/Color.h"
#include "framework/drawing/Geometry.h"

#include <vector>

class OScope : public VisBase {
public:
    // Reads "Color", the trace's colour.
    OScope(TiXmlElement* element, BlockSource source);

    bool LoadFromXML(TiXmlElement* element);
    bool Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height) override;
    // Whether the newest block differs from the one last drawn.
    bool ValuesChanged() override;

    // The trace's points as last drawn.
    const std::vector<Vabo::Point>& Points() const { return points_; }

private:
    static constexpr int LineWidth = 2;
    static constexpr int TopOffset = 1;

    BlockSource source_;
    GdiplusGfxLayer::Color color_;
    std::vector<float> drawn_;
    std::vector<float> columns_;
    std::vector<Vabo::Point> points_;
};
