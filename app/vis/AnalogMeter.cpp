#include "app/vis/AnalogMeter.h"
#include "app/vis/CountLimit.h"

#include "framework/core/XMLLoadSave.h"
#include "framework/drawing/Painter.h"
#include "framework/drawing/Pen.h"

#include <algorithm>
#include <cmath>

AnalogMeter::AnalogMeter(XMLLoadSave& reader, TiXmlElement* element, ScalarSource position)
    : position_(std::move(position))
{
    TiXmlElement* analog = reader.GetChild(element, "Analog");
    reader.ReadXmlAttribute(color_, analog, "Color", true);
    reader.ReadXmlAttribute(radiusFraction_, analog, "Width", true, Vabo::kSkinFactor);
    reader.ReadXmlAttribute(lineWidthFraction_, analog, "LineWidth", true, Vabo::kSkinFactor);
    reader.ReadXmlAttribute(needleWidthFraction_, analog, "DialWidth", true, Vabo::kSkinFactor);
    reader.ReadXmlAttribute(ticCount_, analog, "TicCount", true, CountLimit::Tics);
    reader.ReadXmlAttribute(ticLength_, analog, "TicLength", true, Vabo::kSkinFactor);
}

void AnalogMeter::Layout(float x, float y, float width, float height)
{
    margin_ = width * ticLength_;
    faceX_ = x + margin_;
    faceY_ = y + margin_;
    faceWidth_ = width - 2.0f * margin_;
    faceHeight_ = height - 2.0f * margin_;
    arcHeight_ = faceHeight_;
    radius_ = faceWidth_ * radiusFraction_ * 0.5f;
    arc_.clear();
    tics_.clear();
    if (!(radius_ > 0.0f) || !(arcHeight_ > 0.0f) || !std::isfinite(faceX_ + faceY_ + radius_ + arcHeight_))
        return;
    pivot_ = {int(faceX_ + faceWidth_ * 0.5f), int(faceY_ + faceHeight_)};

    // The right half, relative to the pivot with heights measured upwards.
    std::vector<Vabo::Point> half;
    const int limit = int(faceWidth_ * 0.5f);
    for (int px = 0; px < limit && float(px) < radius_; ++px) {
        const float h = px == 0
            ? arcHeight_
            : std::sqrt(arcHeight_ * arcHeight_ * (1.0f - float(px) * float(px) / (radius_ * radius_)));
        half.push_back({px, int(h)});
    }
    BuildTics(half);

    arc_.reserve(2 * half.size());
    for (auto point = half.rbegin(); point != half.rend(); ++point)
        arc_.push_back(Absolute({-point->x, point->y}));
    for (const Vabo::Point& point : half)
        arc_.push_back(Absolute(point));
}

void AnalogMeter::BuildTics(const std::vector<Vabo::Point>& half)
{
    const int n = int(half.size());
    if (n == 0)
        return;
    std::vector<Segment> right;
    if (ticTotal_ >= 0 && ticTotal_ % 2 == 0) {
        // An even number: none at the top, half of them on each side.
        const int step = ticTotal_ == 0 ? 0 : int(2 * n / (ticTotal_ - 1));
        right.push_back(Tic(half[std::size_t(n - 1)]));
        for (int k = 1; int(right.size()) < ticTotal_ / 2 && step > 0 && n - k * step >= 0; ++k)
            right.push_back(Tic(half[std::size_t(n - k * step)]));
    } else {
        const int step = ticTotal_ < 0 ? int(float(n) / ticCount_) : n / std::max(1, ticTotal_ / 2);
        right.push_back(Tic(half[0]));
        int counter = 0;
        for (int i = 0; i < n; ++i) {
            if (i == n - 1) {
                right.push_back(Tic(half[std::size_t(i)]));
            } else if (counter == step) {
                right.push_back(Tic(half[std::size_t(i)]));
                counter = 0;
            } else {
                ++counter;
            }
        }
    }
    for (const Segment& tic : right) {
        tics_.push_back({Absolute(tic.from), Absolute(tic.to)});
        tics_.push_back({Absolute({-tic.from.x, tic.from.y}), Absolute({-tic.to.x, tic.to.y})});
    }
}

AnalogMeter::Segment AnalogMeter::Tic(const Vabo::Point& point) const
{
    if (point.x == 0)
        return {point, {0, int(float(point.y) + margin_)}};
    // Along the ellipse's outward normal.
    const double a = std::atan((double(radius_) * radius_ * point.y) / (double(arcHeight_) * arcHeight_ * point.x));
    return {point, {int(point.x + margin_ * std::cos(a)), int(point.y + margin_ * std::sin(a))}};
}

Vabo::Point AnalogMeter::Absolute(const Vabo::Point& point) const
{
    return {int(faceX_ + faceWidth_ * 0.5f + float(point.x)), int(faceY_ + arcHeight_ - float(point.y))};
}

int AnalogMeter::PointIndex(float position, std::size_t points)
{
    if (points == 0)
        return 0;
    if (std::isnan(position))
        position = 0.5f;
    const double last = double(points - 1);
    return int(std::clamp(last * double(position), 0.0, last));
}

void AnalogMeter::DrawScale(GdiplusGfxLayer::Painter& painter) const
{
    GdiplusGfxLayer::Pen pen(color_, std::max(1.0f, faceWidth_ * lineWidthFraction_));
    pen.SetEndCap(GdiplusGfxLayer::Pen::Round);
    painter.DrawLines(pen, arc_.data(), int(arc_.size()));
}

void AnalogMeter::DrawNeedle(GdiplusGfxLayer::Painter& painter) const
{
    DrawMoving(painter, MovingState());
}

int AnalogMeter::MovingState() const
{
    // No position (nothing measured) shows no needle: one lying at an end
    // would read as a note far off, one in the middle as a note in tune.
    const float position = position_();
    if (arc_.empty() || std::isnan(position))
        return -1;
    return PointIndex(position, arc_.size());
}

void AnalogMeter::DrawMoving(GdiplusGfxLayer::Painter& painter, int state) const
{
    if (state < 0 || std::size_t(state) >= arc_.size())
        return;
    GdiplusGfxLayer::Pen pen(color_, NeedleWidth());
    pen.SetEndCap(GdiplusGfxLayer::Pen::ArrowAnchor);
    painter.DrawLine(pen, pivot_, arc_[std::size_t(state)]);
}

Vabo::Rect AnalogMeter::MovingArea(int state) const
{
    if (state < 0 || std::size_t(state) >= arc_.size())
        return {};
    const Vabo::Point& tip = arc_[std::size_t(state)];
    // The line's half width, the arrow's half width (twice the line's, four
    // pixels at least) and the pixels that anti-aliasing touches around both.
    const float width = NeedleWidth();
    const int reach = int(std::ceil(std::max(2.0f, 2.0f * width) + 0.5f * width)) + 2;
    const int left = std::min(pivot_.x, tip.x) - reach;
    const int top = std::min(pivot_.y, tip.y) - reach;
    return {left, top, std::max(pivot_.x, tip.x) + reach + 1 - left, std::max(pivot_.y, tip.y) + reach + 1 - top};
}

float AnalogMeter::NeedleWidth() const
{
    return std::max(1.0f, faceWidth_ * needleWidthFraction_);
}

void AnalogMeter::DrawTics(GdiplusGfxLayer::Painter& painter) const
{
    const GdiplusGfxLayer::Pen pen(color_, std::max(1.0f, faceWidth_ * lineWidthFraction_));
    for (const Segment& tic : tics_)
        painter.DrawLine(pen, tic.from, tic.to);
}

void AnalogMeter::DrawFixed(GdiplusGfxLayer::Painter& painter) const
{
    DrawScale(painter);
    DrawTics(painter);
}
