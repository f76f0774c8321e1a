#include "app/vis/BeatVis.h"

#include "framework/drawing/Painter.h"

#include <algorithm>
#include <cmath>

BeatVis::BeatVis(TiXmlElement* element, ScalarSource first, ScalarSource second)
    : VisBase(element)
    , first_(std::move(first))
    , second_(std::move(second))
{
    RegisterLoader<BeatVis>(element, this);
}

bool BeatVis::LoadFromXML(TiXmlElement* element)
{
    return ReadXmlAttribute(color_, element, "Color", true);
}

int BeatVis::ColumnTop(float phase, int height)
{
    const double top = std::round(double(phase) * height);
    return int(std::clamp(top, 0.0, double(std::max(0, height - 1))));
}

float BeatVis::First()
{
    return drawnFirst_ = first_();
}

float BeatVis::Second()
{
    return drawnSecond_ = second_();
}

bool BeatVis::ValuesChanged()
{
    return first_() != drawnFirst_ || second_() != drawnSecond_;
}

bool BeatVis::Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height)
{
    const int unit = width / 5;
    const int beatTop = ColumnTop(First(), height);
    painter.FillRect({x + unit, y + beatTop, unit, height - beatTop}, color_);
    const int barTop = ColumnTop(Second(), height);
    painter.FillRect({x + 3 * unit, y + barTop, unit, height - barTop}, color_);
    return true;
}
