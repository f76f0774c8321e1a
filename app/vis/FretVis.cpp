#include "app/vis/FretVis.h"

#include "framework/drawing/Painter.h"
#include "framework/drawing/Pen.h"

#include <algorithm>
#include <cmath>

namespace {

// A share of the width, rounded; one pixel on displays narrower than `from`.
int ShareOf(int width, float share, int from)
{
    return width >= from ? int(float(width) * share + 0.5f) : 1;
}

} // namespace

FretVis::FretVis(TiXmlElement* element, ScalarSource value)
    : VisBase(element)
    , value_(std::move(value))
{
    RegisterLoader<FretVis>(element, this);
}

bool FretVis::LoadFromXML(TiXmlElement* element)
{
    ReadXmlAttribute(analogColor_, GetChild(element, "Analog"), "Color", true);
    ReadXmlAttribute(mainColor_, GetChild(element, "Main"), "Color", true);
    TiXmlElement* labels = GetChild(element, "Labels");
    ReadXmlChild(labelFont_, labels, "Font", true);
    ReadXmlAttribute(labelColor_, labels, "Color", true);
    return true;
}

void FretVis::SetFrets(const std::map<float, std::string>& frets)
{
    frets_.clear();
    for (const auto& [hz, label] : frets)
        if (hz > 0.0f && std::isfinite(hz))
            frets_.emplace(hz, label);
}

bool FretVis::Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0)
        return true;
    const GdiplusGfxLayer::Pen pen(analogColor_, 2.0f);
    painter.DrawLine(pen, {x, y + height / 2}, {x + width - 1, y + height / 2});
    if (frets_.empty())
        return true;

    const int markerWidth = ShareOf(width, 0.02f, 25);
    const int fretWidth = ShareOf(width, 0.01f, 50);
    const float first = frets_.begin()->first;
    const float last = frets_.rbegin()->first;
    // A single fret stands in the middle.
    float lo = first * 0.5f;
    float range = first;
    if (frets_.size() > 1) {
        const float margin = (last - first) * 0.1f;
        lo = std::max(0.0f, first - margin);
        range = last + margin - lo;
    }
    const auto position = [&](float hz) { return int(std::lround((hz - lo) / range * float(width))); };

    const Vabo::Rect area{x, y, width, height};
    bool above = true;
    for (const auto& [hz, label] : frets_) {
        const int pos = position(hz);
        painter.FillRect({x + pos - 1 - fretWidth / 2, y + height / 3, fretWidth, height - 2 * (height / 3)},
                         analogColor_);
        DrawLabel(painter, area, label, above, x + pos - 1);
        above = !above;
    }
    // Below the range (or no value) the marker rests at the left edge, above
    // it at the right edge: it never leaves the display.
    float value = value_();
    if (!(value >= lo))
        value = lo;
    const int pos = position(std::min(value, lo + range));
    painter.FillRect({x + pos - markerWidth / 2, y + height / 4, markerWidth, height - 2 * (height / 4)}, mainColor_);
    return true;
}

void FretVis::DrawLabel(GdiplusGfxLayer::Painter& painter, const Vabo::Rect& area, const std::string& text, bool above,
                        int centreX)
{
    if (!sizedFont_ || sizedFor_ != area.height) {
        sizedFont_ =
            std::make_shared<GdiplusGfxLayer::Font>(labelFont_->GetFamily(), std::max(1.0f, float(area.height) * 0.2f),
                                                    labelFont_->GetStyle(), GdiplusGfxLayer::Font::Point);
        sizedFor_ = area.height;
    }
    const Vabo::Rect box = sizedFont_->MeasureString(text);
    const int top = above ? area.y + area.height / 3 - box.height : area.y + area.height - area.height / 3;
    painter.DrawString(*sizedFont_, text, labelColor_, float(centreX - box.width / 2 - box.x), float(top - box.y));
}
