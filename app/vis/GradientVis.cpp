#include "app/vis/GradientVis.h"

#include "framework/core/Registration.h"
#include "framework/drawing/Painter.h"
#include "framework/drawing/Pen.h"

#include <cmath>

namespace {

Vabo::RegisterClass<GradientVis> thresholdVisClass("ThresholdVis", "", [](TiXmlElement* element) -> Vabo::GuiObject* {
    return new GradientVis(element);
});

} // namespace

GradientVis::GradientVis(TiXmlElement* element)
    : GradientVis(element, PowerCalcFunctor())
{
}

GradientVis::GradientVis(TiXmlElement* element, ScalarSource level)
    : VisBase(element)
    , level_(std::move(level))
{
    RegisterLoader<GradientVis>(element, this);
}

bool GradientVis::LoadFromXML(TiXmlElement* element)
{
    return ReadXmlAttribute(low_, element, "ColorLow", true) && ReadXmlAttribute(high_, element, "ColorHigh", true);
}

int GradientVis::FilledWidth(int width, float level)
{
    if (!(level > 0.0f))
        return 0;
    return int(std::floor(double(width) * std::min(double(level), 1.0) + 0.5));
}

bool GradientVis::Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0)
        return true;
    const int filled = FilledWidth(width, level_());
    // The edges inside the rectangle: its first and last rows.
    const GdiplusGfxLayer::Pen edge(high_, 1.0f);
    painter.DrawLine(edge, {x, y}, {x + width - 1, y});
    painter.DrawLine(edge, {x, y + height - 1}, {x + width - 1, y + height - 1});
    if (filled > 0)
        painter.FillGradientRect({x, y, filled, height}, low_, high_);
    parts_.Drawn(filled, {x, y, width, height});
    return true;
}

Vabo::Rect GradientVis::ChangedArea(int x, int y, int width, int height)
{
    const Vabo::Rect rect{x, y, width, height};
    return parts_.Refresh(FilledWidth(width, level_()), rect, rect);
}
