#include "app/vis/SpecAnVis.h"
#include "app/vis/CountLimit.h"

#include "app/vis/ColumnMap.h"

#include "framework/drawing/Painter.h"

#include <algorithm>
#include <cmath>

SpecAnVis::SpecAnVis(TiXmlElement* element, BlockSource source)
    : VisBase(element)
    , background_(GetChild(element, "Image"))
    , source_(std::move(source))
{
    RegisterLoader<SpecAnVis>(element, this);
}

bool SpecAnVis::LoadFromXML(TiXmlElement* element)
{
    TiXmlElement* bar = GetChild(element, "Bar");
    ReadXmlAttribute(markerFraction_, bar, "PercOfVizForBar", true, Vabo::kSkinFactor);
    ReadXmlAttribute(markerColor_, bar, "Color", true);
    TiXmlElement* config = GetChild(element, "Config");
    ReadXmlAttribute(barCount_, config, "NumBars", true, CountLimit::Bars);
    levels_.assign(std::size_t(barCount_), 0.0f);
    peaks_.assign(std::size_t(barCount_), 0.0f);
    holds_.assign(std::size_t(barCount_), 0);
    return true;
}

bool SpecAnVis::SetSize(int width, int height)
{
    const bool result = VisBase::SetSize(width, height);
    background_.SetSize(width, height);
    return result;
}

float SpecAnVis::FallenLevel(float level, float v)
{
    return v >= level ? v : std::max(v, level * 0.8333333f);
}

void SpecAnVis::MovePeak(float& peak, int& hold, float v)
{
    if (v >= peak) {
        peak = v;
        hold = 0;
        return;
    }
    if (hold >= 12) {
        const int held = hold - 12;
        peak = std::max(v, peak / (1.0f + 0.002f * float(held * held)));
    }
    hold = std::min(hold + 1, HoldCap);
}

bool SpecAnVis::Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0 || barCount_ < 1)
        return true;
    MapMagnitudePeaks(source_(), columns_, barCount_);
    for (float& v : columns_)
        v = std::min(v, 1.0f);
    for (int i = 0; i < barCount_; ++i)
        levels_[std::size_t(i)] = FallenLevel(levels_[std::size_t(i)], columns_[std::size_t(i)]);

    const int marker = int(std::lround(float(height) * markerFraction_));
    const int area = height - marker;
    const float column = float(width) / float(barCount_);
    const int barWidth = int(std::lround(column));
    for (int i = 0; i < barCount_; ++i) {
        const int barHeight = int(std::lround(float(area) * levels_[std::size_t(i)]));
        if (barHeight <= 0)
            continue;
        Vabo::Rect source{0, area - barHeight, barWidth, barHeight};
        background_.DrawInto(painter, source,
                             {x + 1 + int(float(i) * column), y + height - barHeight, barWidth - 2, barHeight});
    }

    for (int i = 0; i < barCount_; ++i)
        MovePeak(peaks_[std::size_t(i)], holds_[std::size_t(i)], columns_[std::size_t(i)]);
    const int thickness = std::max(1, marker);
    const int columnWidth = int(column);
    for (int i = 0; i < barCount_; ++i) {
        const int lift = int(std::lround(float(area) * peaks_[std::size_t(i)]));
        painter.FillRect({x + 1 + int(float(i) * column), y + height - thickness - lift, columnWidth - 2, thickness},
                         markerColor_);
    }
    return true;
}
