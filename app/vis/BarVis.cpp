#include "app/vis/BarVis.h"

#include "framework/drawing/Painter.h"

#include <cmath>

BarVis::BarVis(TiXmlElement* element, ScalarSource first, ScalarSource second)
    : BeatVis(element, std::move(first), std::move(second))
{
}

void BarVis::DrawPhases(GdiplusGfxLayer::Painter& painter, const Vabo::Rect& rect, float first, float second)
{
    for (const Moving& marker : MovingParts(rect, first, second))
        painter.FillRect(marker.area, color_);
    painter.FillRect({rect.x + rect.width / 2 - 1, rect.y, 2, rect.height}, color_);
}

std::vector<BeatVis::Moving> BarVis::MovingParts(const Vabo::Rect& rect, float first, float second) const
{
    const int marker = rect.width / 25;
    const int half = rect.width / 2;
    std::vector<Moving> markers;
    const auto place = [&](float phase, int inset) {
        const int left = rect.x + int(std::round(double(phase) * half)) - marker / 2;
        const Vabo::Rect inFirstHalf{left, rect.y + inset, marker, rect.height - 2 * inset};
        markers.push_back({left, inFirstHalf});
        markers.push_back({left, {left + half, inFirstHalf.y, marker, inFirstHalf.height}});
    };
    place(first, rect.height / 4);
    place(second, rect.height / 10);
    return markers;
}
