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

bool BeatVis::ValuesChanged()
{
    return first_() != drawnFirst_ || second_() != drawnSecond_;
}

bool BeatVis::Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height)
{
    const Vabo::Rect rect{x, y, width, height};
    drawnFirst_ = first_();
    drawnSecond_ = second_();
    DrawPhases(painter, rect, drawnFirst_, drawnSecond_);
    Place(rect);
    const std::vector<Moving> parts = MovingParts(rect, drawnFirst_, drawnSecond_);
    shown_.resize(parts.size());
    for (std::size_t i = 0; i < parts.size(); ++i)
        shown_[i].Drawn(parts[i].state, parts[i].area);
    return true;
}

std::vector<Vabo::Rect> BeatVis::ChangedAreas(int x, int y, int width, int height)
{
    const Vabo::Rect rect{x, y, width, height};
    Place(rect);
    const std::vector<Moving> parts = MovingParts(rect, first_(), second_());
    shown_.resize(parts.size());
    std::vector<Vabo::Rect> changed;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const Vabo::Rect part = shown_[i].Refresh(parts[i].state, parts[i].area, rect);
        if (part.width > 0 && part.height > 0)
            changed.push_back(part);
    }
    // All of it once, however many parts ask for all of it.
    if (std::find(changed.begin(), changed.end(), rect) != changed.end())
        return {rect};
    return changed;
}

void BeatVis::Place(const Vabo::Rect& rect)
{
    if (rect == placed_)
        return;
    placed_ = rect;
    for (ShownParts& part : shown_)
        part.LaidOut();
}

void BeatVis::DrawPhases(GdiplusGfxLayer::Painter& painter, const Vabo::Rect& rect, float first, float second)
{
    const int unit = rect.width / 5;
    const int beatTop = ColumnTop(first, rect.height);
    painter.FillRect({rect.x + unit, rect.y + beatTop, unit, rect.height - beatTop}, color_);
    const int barTop = ColumnTop(second, rect.height);
    painter.FillRect({rect.x + 3 * unit, rect.y + barTop, unit, rect.height - barTop}, color_);
}

std::vector<BeatVis::Moving> BeatVis::MovingParts(const Vabo::Rect& rect, float first, float second) const
{
    // Two tops differ in the rows from the one to the other: the smallest
    // rectangle holding both top rows.
    const int unit = rect.width / 5;
    const int beatTop = ColumnTop(first, rect.height);
    const int barTop = ColumnTop(second, rect.height);
    return {{beatTop, {rect.x + unit, rect.y + beatTop, unit, 1}},
            {barTop, {rect.x + 3 * unit, rect.y + barTop, unit, 1}}};
}
