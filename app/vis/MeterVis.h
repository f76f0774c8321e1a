#pragma once
// A needle display of the tuner: a row of three labels (the low end, the
// centre frequency and the high end of the scale) above a meter face (Face:
// AnalogMeter or LogMeter) whose needle shows a position from 0 to 1. The
// scale spans the policy's range around the centre source's frequency; the
// labels and the face are laid out again after a resize, a move or a change
// of the centre frequency, and at no other time; what stays until then (the
// background, the labels, the face's fixed parts) is drawn once, as a fixed
// layer under the needle.
#include "app/vis/FixedLayer.h"
#include "app/vis/LabelText.h"
#include "app/vis/ShownParts.h"
#include "app/vis/TuningScale.h"
#include "app/vis/ValueSource.h"
#include "app/vis/VisBase.h"

#include "framework/drawing/Color.h"
#include "framework/drawing/Font.h"
#include "framework/drawing/Painter.h"

#include <algorithm>
#include <memory>
#include <string>

template <class Policy, class Face> class MeterVis : public VisBase {
public:
    // Reads "BackColor" and the "Labels" child ("Height", "Color" and a
    // "Font" child); the face reads its own child.
    MeterVis(TiXmlElement* element, ScalarSource position, ScalarSource centre, const Policy& policy)
        : VisBase(element)
        , policy_(policy)
        , centreSource_(std::move(centre))
        , face_(*this, element, position)
    {
        RegisterLoader<MeterVis>(element, this);
    }

    bool LoadFromXML(TiXmlElement* element)
    {
        ReadXmlAttribute(backColor_, element, "BackColor", true);
        TiXmlElement* labels = GetChild(element, "Labels");
        ReadXmlAttribute(heightFraction_, labels, "Height", true, Vabo::kSkinFactor);
        ReadXmlAttribute(labelColor_, labels, "Color", true);
        ReadXmlChild(labelFont_, labels, "Font", true);
        dirty_ = true;
        return true;
    }

    bool SetSize(int width, int height) override
    {
        dirty_ = true;
        return VisBase::SetSize(width, height);
    }

    bool Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height) override
    {
        const float c = centreSource_();
        const Vabo::Rect rect{x, y, width, height};
        if (Relaid(c, rect)) {
            parts_.LaidOut();
            centre_ = c;
            const ScaleBounds bounds = BoundsOf(policy_, c);
            lo_ = bounds.lo;
            hi_ = bounds.hi;
            Layout(painter, x, y, width, height);
            MeasureLabels();
            laidOut_ = rect;
            dirty_ = false;
            fixed_.Forget();
        }
        fixed_.Draw(painter, rect, [this, &rect](GdiplusGfxLayer::Painter& layer) {
            layer.FillRect(rect, backColor_);
            DrawLabels(layer);
            face_.DrawFixed(layer);
        });
        const int state = face_.MovingState();
        face_.DrawMoving(painter, state);
        parts_.Drawn(state, face_.MovingArea(state));
        return true;
    }

    // Nothing while the needle points where it did; else where it was and
    // where it goes; all of it for a new layout (a new centre frequency).
    Vabo::Rect ChangedArea(int x, int y, int width, int height) override
    {
        const Vabo::Rect rect{x, y, width, height};
        if (Relaid(centreSource_(), rect))
            parts_.LaidOut();
        const int state = face_.MovingState();
        return parts_.Refresh(state, face_.MovingArea(state), rect);
    }

    virtual void Layout(GdiplusGfxLayer::Painter&, int x, int y, int width, int height)
    {
        labelHeight_ = float(int(float(height) * heightFraction_));
        labelX_ = float(x);
        labelY_ = float(y);
        labelWidth_ = float(width);
        centreText_ = FixedText(centre_);
        hiText_ = IntegerText(hi_) + policy_.unit;
        loText_ = IntegerText(lo_) + policy_.unit;
        // The label row's height in pixels.
        labelFont_ = std::make_shared<GdiplusGfxLayer::Font>(labelFont_->GetFamily(), std::max(1.0f, labelHeight_),
                                                             labelFont_->GetStyle(), GdiplusGfxLayer::Font::Point);
        face_.Layout(float(x), float(y) + labelHeight_, float(width), float(height) - labelHeight_);
    }

    // Low end left-aligned, centre centred, high end right-aligned, the tops
    // of their boxes on the top of the label row.
    virtual void DrawLabels(GdiplusGfxLayer::Painter& painter)
    {
        const int width = int(labelWidth_);
        const float top = float(int(labelY_));
        painter.DrawString(*labelFont_, loText_, labelColor_, float(int(labelX_ - float(loBox_.x))),
                           top - float(loBox_.y));
        painter.DrawString(*labelFont_, centreText_, labelColor_,
                           float(int(labelX_ + float(width / 2 - centreBox_.width / 2 - centreBox_.x))),
                           top - float(centreBox_.y));
        painter.DrawString(*labelFont_, hiText_, labelColor_,
                           float(int(labelX_ + float(width - hiBox_.width - hiBox_.x))), top - float(hiBox_.y));
    }

    const std::string& LoText() const { return loText_; }
    const std::string& CentreText() const { return centreText_; }
    const std::string& HiText() const { return hiText_; }
    float Lo() const { return lo_; }
    float Hi() const { return hi_; }
    const Face& GetFace() const { return face_; }
    const GdiplusGfxLayer::Font& LabelFont() const { return *labelFont_; }

protected:
    const Policy& GetPolicy() const { return policy_; }
    std::string centreText_;
    std::string hiText_;
    std::string loText_;

private:
    bool Relaid(float centre, const Vabo::Rect& rect) const { return dirty_ || centre != centre_ || !(rect == laidOut_); }

    void MeasureLabels()
    {
        loBox_ = labelFont_->MeasureRange(loText_, -1, -1, -1.0f);
        centreBox_ = labelFont_->MeasureRange(centreText_, -1, -1, -1.0f);
        hiBox_ = labelFont_->MeasureRange(hiText_, -1, -1, -1.0f);
    }

    float heightFraction_ = 0.0f;
    GdiplusGfxLayer::Color labelColor_;
    GdiplusGfxLayer::Color backColor_;
    float centre_ = 0.0f;
    float lo_ = 0.0f;
    float hi_ = 0.0f;
    bool dirty_ = true;
    Vabo::Rect laidOut_;
    FixedLayer fixed_;
    ShownParts parts_;
    float labelX_ = 0.0f;
    float labelY_ = 0.0f;
    float labelWidth_ = 0.0f;
    float labelHeight_ = 0.0f;
    std::shared_ptr<GdiplusGfxLayer::Font> labelFont_;
    Vabo::Rect loBox_;
    Vabo::Rect centreBox_;
    Vabo::Rect hiBox_;
    Policy policy_;
    ScalarSource centreSource_;
    Face face_;
};
