#include "app/vis/LogMeter.h"
#include "app/vis/CountLimit.h"

#include "framework/core/XMLLoadSave.h"
#include "framework/drawing/Painter.h"
#include "framework/drawing/Pen.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>

LogMeter::LogMeter(XMLLoadSave& reader, TiXmlElement* element, ScalarSource position)
    : position_(std::move(position))
{
    TiXmlElement* log = reader.GetChild(element, "Log");
    reader.ReadXmlAttribute(scaleColor_, log, "ScaleColor", true);
    reader.ReadXmlAttribute(midColor_, log, "MidColor", true);
    reader.ReadXmlAttribute(centreColor_, log, "CenterColor", true);
    reader.ReadXmlAttribute(lineCount_, log, "LineCount", true, CountLimit::Lines);
    reader.ReadXmlAttribute(centreWidth_, log, "CenterWidth", true, Vabo::kSkinFactor);
    TiXmlElement* bar = reader.GetChild(log, "Bar");
    reader.ReadXmlAttribute(minWidth_, bar, "MinWidth", true, Vabo::kSkinFactor);
    reader.ReadXmlAttribute(maxWidth_, bar, "MaxWidth", true, Vabo::kSkinFactor);
    for (TiXmlElement* entry : reader.GetChildren(log, "Shape")) {
        float height = 0.0f;
        reader.ReadXmlAttribute(height, entry, "Height", true, Vabo::kSkinFactor);
        shape_.push_back(height);
    }
    // Every line reads the profile.
    if (shape_.empty())
        XMLLoadSave::ThrowXmlError(log, "Shape");
}

float LogMeter::ShapeAt(float t) const
{
    if (shape_.size() == 1 || !(t > 0.0f))
        return shape_.front();
    const float x = t * float(shape_.size() - 1);
    const std::size_t below = std::size_t(x);
    if (below + 1 >= shape_.size())
        return shape_.back();
    const float f = x - float(below);
    return shape_[below] + f * (shape_[below + 1] - shape_[below]);
}

void LogMeter::Layout(float x, float y, float width, float height)
{
    face_ = {int(std::floor(x)), int(std::floor(y)), int(std::ceil(width)) + 1, int(std::ceil(height)) + 1};
    const float s = width / lineCount_;
    minPixels_ = std::max(1.0f, s * minWidth_);
    maxPixels_ = std::max(1.0f, s * maxWidth_);
    innerX_ = x + maxPixels_;
    innerY_ = y + maxPixels_;
    innerWidth_ = width - 2.0f * maxPixels_;
    innerHeight_ = height - 2.0f * maxPixels_;
    lines_.clear();
    if (!(innerWidth_ > 0.0f) || !(innerHeight_ > 0.0f) || !std::isfinite(innerWidth_ + innerHeight_))
        return;

    const int centreX = int(innerX_ + innerWidth_ * 0.5f);
    const float middle = innerY_ + innerHeight_ * 0.5f;
    const auto line = [&](int lineX, float value, float t, const GdiplusGfxLayer::Color& color) {
        const float length = innerHeight_ * ShapeAt(t);
        return Line{value, {lineX, int(middle - length * 0.5f)}, {lineX, int(middle + length * 0.5f)}, color};
    };
    std::deque<Line> row{line(centreX, 0.5f, 0.0f, centreColor_)};
    const int spacing = int(innerWidth_ * 0.5f / lineCount_);
    for (int k = 1; float(k) <= lineCount_; ++k) {
        const float t = float(k) / lineCount_;
        const bool near = float(k) * (innerWidth_ * 0.5f) / lineCount_ < centreWidth_ * innerWidth_;
        const GdiplusGfxLayer::Color& color = near ? midColor_ : scaleColor_;
        row.push_front(line(centreX - k * spacing, 0.5f - 0.5f * t, t, color));
        row.push_back(line(centreX + k * spacing, 0.5f + 0.5f * t, t, color));
    }
    lines_.assign(row.begin(), row.end());
}

float LogMeter::LineWidth(std::size_t i, float p) const
{
    const float v = lines_[i].value;
    const float before = lines_[i == 0 ? 0 : i - 1].value;
    const float after = lines_[i + 1 < lines_.size() ? i + 1 : i].value;
    if (p == v || (i == 0 && p <= v) || (i + 1 == lines_.size() && p >= v))
        return maxPixels_;
    if (before < p && p < v)
        return minPixels_ + (p - before) * (maxPixels_ - minPixels_) / (v - before);
    if (v < p && p < after)
        return maxPixels_ - (p - v) * (maxPixels_ - minPixels_) / (after - v);
    return minPixels_;
}

int LogMeter::MovingState() const
{
    const float p = position_();
    int state = 0;
    std::memcpy(&state, &p, sizeof state);
    return state;
}

void LogMeter::DrawMoving(GdiplusGfxLayer::Painter& painter, int state) const
{
    float p = 0.0f;
    std::memcpy(&p, &state, sizeof p);
    DrawAt(painter, p);
}

void LogMeter::Draw(GdiplusGfxLayer::Painter& painter) const
{
    DrawAt(painter, position_());
}

void LogMeter::DrawAt(GdiplusGfxLayer::Painter& painter, float p) const
{
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const float before = lines_[i == 0 ? 0 : i - 1].value;
        const float after = lines_[i + 1 < lines_.size() ? i + 1 : i].value;
        const bool lit = before < p && p < after;
        GdiplusGfxLayer::Pen pen(lit ? lines_[i].color : scaleColor_, LineWidth(i, p));
        pen.SetStartCap(GdiplusGfxLayer::Pen::Round);
        pen.SetEndCap(GdiplusGfxLayer::Pen::Round);
        painter.DrawLine(pen, lines_[i].top, lines_[i].bottom);
    }
}
