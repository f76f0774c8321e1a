#include "app/vis/OScope.h"

#include "app/vis/ColumnMap.h"

#include "framework/drawing/Painter.h"
#include "framework/drawing/Pen.h"

#include <algorithm>
#include <cmath>

OScope::OScope(TiXmlElement* element, BlockSource source)
    : VisBase(element)
    , source_(std::move(source))
{
    RegisterLoader<OScope>(element, this);
}

bool OScope::LoadFromXML(TiXmlElement* element)
{
    return ReadXmlAttribute(color_, element, "Color", true);
}

bool OScope::ValuesChanged()
{
    return source_() != drawn_;
}

bool OScope::Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0)
        return true;
    const int top = y + TopOffset;
    const int inner = height - LineWidth;
    const float half = 0.5f * float(inner);
    const int centre = inner / 2;
    drawn_ = source_();
    MapSignedPeaks(drawn_, columns_, width);
    points_.resize(columns_.size());
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        // Beyond full scale the trace runs along the edge.
        const float v = std::clamp(columns_[i], -1.0f, 1.0f);
        points_[i] = {x + int(i), top + centre + int(std::lround(half * v))};
    }
    // The trace is redrawn at every refresh and is most of the tuner's drawing;
    // quick edges halve its cost and look the same at this size.
    GdiplusGfxLayer::Pen pen(color_, float(LineWidth));
    pen.SetQuickEdges(true);
    painter.DrawLines(pen, points_.data(), int(points_.size()));
    return true;
}
