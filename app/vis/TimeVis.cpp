#include "app/vis/TimeVis.h"

#include "framework/drawing/Painter.h"
#include "framework/drawing/Pen.h"

#include <cmath>

TimeVis::TimeVis(TiXmlElement* element, ScalarSource time, PhaseAt first, PhaseAt second)
    : VisBase(element)
    , first_(std::move(first))
    , second_(std::move(second))
    , time_(std::move(time))
{
    RegisterLoader<TimeVis>(element, this);
}

TimeVis::~TimeVis() = default;

bool TimeVis::LoadFromXML(TiXmlElement* element)
{
    if (!ReadXmlAttribute(color_, element, "Color", true))
        return false;
    pen_ = std::make_shared<GdiplusGfxLayer::Pen>(color_, float(lineWidth_));
    return true;
}

std::vector<TimeVis::Tick> TimeVis::Ticks(float t) const
{
    std::vector<Tick> ticks;
    bool armed = false;
    for (int i = -Steps; i < Steps; ++i) {
        const float at = t + float(i) * TimeStep;
        const float a = first_(at);
        const float b = second_(at);
        if ((a > TickThreshold || b > TickThreshold) && armed) {
            ticks.push_back({i + Steps, b > TickThreshold});
            armed = false;
        } else if (a < TickThreshold && b < TickThreshold && !armed) {
            armed = true;
        }
    }
    return ticks;
}

bool TimeVis::Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height)
{
    const int tickWidth = width / 50;
    const int centre = int(std::round(0.5 * width));
    const double perStep = double(width) / (2 * Steps);
    painter.DrawLine(*pen_, {x + centre, y + height}, {x + centre, y});
    for (const Tick& tick : Ticks(time_())) {
        const int tall = int(std::round(tick.accent ? double(height) : 0.5 * height));
        painter.FillRect({x + int(std::round(tick.column * perStep)), y + height - tall, tickWidth, tall}, color_);
    }
    return true;
}
