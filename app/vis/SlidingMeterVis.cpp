#include "app/vis/SlidingMeterVis.h"
#include "app/vis/CountLimit.h"

#include "audio/AppState.h"

#include "framework/drawing/Painter.h"
#include "framework/drawing/Pen.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

SlidingMeterVis::SlidingMeterVis(TiXmlElement* element, ScalarSource frequency, ScalarSource second)
    : VisBase(element)
    , frequency_(std::move(frequency))
    , second_(std::move(second))
{
    RegisterLoader<SlidingMeterVis>(element, this);
}

bool SlidingMeterVis::LoadFromXML(TiXmlElement* element)
{
    ReadXmlAttribute(backColor_, element, "BackColor", true);
    TiXmlElement* labels = GetChild(element, "Labels");
    ReadXmlAttribute(labelFraction_, labels, "Height", true, Vabo::kSkinFactor);
    ReadXmlChild(labelFont_, labels, "Font", true);
    ReadXmlAttribute(labelColor_, labels, "Color", true);
    TiXmlElement* scale = GetChild(element, "Scale");
    ReadXmlAttribute(scaleColor_, scale, "ScaleColor", true);
    ReadXmlAttribute(midColor_, scale, "MidColor", true);
    ReadXmlAttribute(centreColor_, scale, "CenterColor", true);
    ReadXmlAttribute(lineCount_, scale, "LineCount", true, CountLimit::Lines);
    ReadXmlAttribute(noteCount_, scale, "NoteCount", true, CountLimit::Notes);
    ReadXmlAttribute(centreWidth_, scale, "CenterWidth", true, Vabo::kSkinFactor);
    TiXmlElement* bar = GetChild(scale, "Bar");
    ReadXmlAttribute(minWidth_, bar, "MinWidth", true, Vabo::kSkinFactor);
    ReadXmlAttribute(maxWidth_, bar, "MaxWidth", true, Vabo::kSkinFactor);
    shape_.clear();
    for (TiXmlElement* entry : GetChildren(scale, "Shape")) {
        float height = 0.0f;
        ReadXmlAttribute(height, entry, "Height", true, Vabo::kSkinFactor);
        shape_.push_back(height);
    }
    // Every line reads the profile.
    if (shape_.empty())
        ThrowXmlError(scale, "Shape");
    resized_ = true;
    return true;
}

bool SlidingMeterVis::SetSize(int width, int height)
{
    resized_ = true;
    return VisBase::SetSize(width, height);
}

float SlidingMeterVis::ShapeAt(float t) const
{
    const float n = float(shape_.size());
    const float x = n * t;
    if (!(x < n - 1.0f))
        return shape_.back();
    if (!(x > 0.0f))
        return shape_.front();
    const std::size_t below = std::size_t(x);
    const float f = x - float(below);
    return shape_[below] + f * (shape_[below + 1] - shape_[below]);
}

float SlidingMeterVis::Phase(float f, float lo, float c, float hi)
{
    if (f == hi || hi == c || c == lo || f < lo || f > hi)
        return 0.0f;
    const float p = f <= c ? (f - lo) / (c - lo) : (f - c) / (hi - c);
    return std::isfinite(p) ? p : 0.0f;
}

void SlidingMeterVis::Layout(int x, int y, int width, int height)
{
    const int band = int(float(height) * labelFraction_);
    label_ = {float(x), float(y), float(width), float(band)};
    const Area area{float(x), float(y + band), float(width), float(height - band)};
    const float u = area.width / (float(noteCount_) * lineCount_);
    edgeLineWidth_ = std::max(1.0f, u * minWidth_);
    centreLineWidth_ = std::max(1.0f, u * maxWidth_);
    scale_ = {area.x + centreLineWidth_, area.y + centreLineWidth_, area.width - 2.0f * centreLineWidth_,
              area.height - 2.0f * centreLineWidth_};
    // The band's height in pixels.
    labelFont_ = std::make_shared<GdiplusGfxLayer::Font>(labelFont_->GetFamily(), std::max(1.0f, float(band)),
                                                         labelFont_->GetStyle(), GdiplusGfxLayer::Font::Point);
    boxes_.clear();

    const float centre = float(int(scale_.y + scale_.height * 0.5f));
    const auto style = [&](float length, const GdiplusGfxLayer::Color& color) {
        return Style{int(centre - length * 0.5f), int(centre + length * 0.5f), color};
    };
    styles_.clear();
    styles_.push_back(style(scale_.height, centreColor_));
    std::vector<Style> rising;
    for (int k = 1; float(k) < lineCount_ + 1.0f; ++k) {
        const bool near = float(k) * scale_.width / (2.0f * lineCount_) < centreWidth_ * scale_.width;
        rising.push_back(style(ShapeAt(float(k) / lineCount_) * scale_.height, near ? midColor_ : scaleColor_));
    }
    styles_.insert(styles_.end(), rising.begin(), rising.end());
    styles_.insert(styles_.end(), rising.rbegin(), rising.rend());
    resized_ = false;
}

const Vabo::Rect& SlidingMeterVis::Box(const std::string& text)
{
    auto found = boxes_.find(text);
    if (found == boxes_.end())
        found = boxes_.emplace(text, labelFont_->MeasureRange(text, -1, -1, -1.0f)).first;
    return found->second;
}

bool SlidingMeterVis::Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0)
        return true;
    const Vabo::Rect rect{x, y, width, height};
    if (resized_ || !(rect == laidOut_)) {
        Layout(x, y, width, height);
        laidOut_ = rect;
    }
    painter.FillRect(rect, backColor_);

    const float f = frequency_();
    lastFrequency_ = f;
    const AppState& state = AppState::Instance();
    const float hi = state.UpperNoteFrequency(f);
    const float lo = state.LowerNoteFrequency(f);
    const NoteName* nearest = state.Notes.FindNearest(f);
    const float p = nearest ? Phase(f, lo, nearest->frequency, hi) : 0.0f;

    noteLabels_.clear();
    const float m = 2.0f * lineCount_ + 1.0f;
    const float spacing = scale_.width / (float(noteCount_) * m);
    if (!(spacing > 0.0f) || styles_.empty())
        return true;
    float s = m * p;
    if (noteCount_ % 2 == 1)
        s = s < 0.5f ? s + 0.5f : s - 0.5f;
    std::size_t index = std::size_t(std::ceil(s));
    float lineX = scale_.x + (std::ceil(s) - s) * spacing;
    if (index >= styles_.size())
        index = 0;
    const float right = scale_.x + scale_.width;
    const float middle = scale_.x + scale_.width * 0.5f;
    std::vector<int> noteLines;
    for (; lineX <= right; lineX += spacing) {
        const Style& style = styles_[index];
        const float distance = std::fabs(lineX - middle);
        const float lineWidth = distance < spacing
            ? centreLineWidth_ - (centreLineWidth_ - edgeLineWidth_) * distance / spacing
            : edgeLineWidth_;
        GdiplusGfxLayer::Pen pen(style.color, lineWidth);
        pen.SetStartCap(GdiplusGfxLayer::Pen::Round);
        pen.SetEndCap(GdiplusGfxLayer::Pen::Round);
        painter.DrawLine(pen, {int(lineX), style.bottom}, {int(lineX), style.top});
        if (index == 0)
            noteLines.push_back(int(lineX));
        index = index + 1 < styles_.size() ? index + 1 : 0;
    }
    if (noteLines.empty() || !nearest)
        return true;

    // The line nearest the centre carries the nearest note; those right of it
    // the note above, those left of it the note below.
    const int target = int(scale_.x + scale_.width * 0.5f);
    int best = int(scale_.width);
    std::size_t centreLine = 0;
    for (std::size_t i = 0; i < noteLines.size(); ++i) {
        const int distance = std::abs(noteLines[i] - target);
        if (distance < best) {
            best = distance;
            centreLine = i;
        }
    }
    const std::string names[3] = {state.NearestNoteName(lo), state.NearestNoteName(f), state.NearestNoteName(hi)};
    const float top = float(int(label_.y));
    for (std::size_t i = 0; i < noteLines.size(); ++i) {
        const std::string& name = names[i < centreLine ? 0 : i == centreLine ? 1 : 2];
        const Vabo::Rect& box = Box(name);
        painter.DrawString(*labelFont_, name, labelColor_, float(noteLines[i] - box.width / 2 - box.x),
                           top - float(box.y));
        noteLabels_.emplace_back(noteLines[i], name);
    }
    return true;
}
