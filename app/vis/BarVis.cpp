#include "app/vis/BarVis.h"

#include "framework/drawing/Painter.h"

#include <cmath>

BarVis::BarVis(TiXmlElement* element, ScalarSource first, ScalarSource second)
    : BeatVis(element, std::move(first), std::move(second))
{
}

bool BarVis::Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height)
{
    const int marker = width / 25;
    const int half = width / 2;
    const auto drawMarkers = [&](float phase, int inset) {
        const int left = x + int(std::round(double(phase) * half)) - marker / 2;
        const Vabo::Rect first{left, y + inset, marker, height - 2 * inset};
        painter.FillRect(first, color_);
        painter.FillRect({left + half, first.y, marker, first.height}, color_);
    };
    drawMarkers(First(), height / 4);
    drawMarkers(Second(), height / 10);
    painter.FillRect({x + half - 1, y, 2, height}, color_);
    return true;
}
