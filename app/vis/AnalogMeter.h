#pragma once
// The analog meter face: the upper half of an ellipse as the scale, tics
// along its outward normal, and an arrow needle from the pivot at the middle
// of the face's bottom edge to the scale point of the position (0 left end,
// 1 right end, pinned at the ends).
#include "app/vis/ValueSource.h"

#include "framework/drawing/Color.h"
#include "framework/drawing/Geometry.h"

#include <cstddef>
#include <vector>

class TiXmlElement;
class XMLLoadSave;

namespace GdiplusGfxLayer {
class Painter;
}

class AnalogMeter {
public:
    struct Segment {
        Vabo::Point from;
        Vabo::Point to;
    };

    // Reads the "Analog" child of the element ("Color", "Width", "LineWidth",
    // "DialWidth", "TicCount", "TicLength", all required; "TicCount" at least 1).
    AnalogMeter(XMLLoadSave& reader, TiXmlElement* element, ScalarSource position);

    // Lays the face out in the rectangle, the tics included.
    void Layout(float x, float y, float width, float height);
    void DrawScale(GdiplusGfxLayer::Painter& painter) const;
    void DrawNeedle(GdiplusGfxLayer::Painter& painter) const;
    void DrawTics(GdiplusGfxLayer::Painter& painter) const;
    // What stays until the next Layout (the scale and its tics), and the
    // needle, drawn over it.
    void DrawFixed(GdiplusGfxLayer::Painter& painter) const;
    void DrawMoving(GdiplusGfxLayer::Painter& painter) const { DrawNeedle(painter); }

    // The needle as a state: the index of the curve point it points at, -1
    // for none. The needle of a state is drawn inside MovingArea's rectangle.
    int MovingState() const;
    Vabo::Rect MovingArea(int state) const;
    void DrawMoving(GdiplusGfxLayer::Painter& painter, int state) const;

    // The index into the scale curve that a position points at: (n - 1) p
    // truncated and pinned to the curve; the middle for no number.
    static int PointIndex(float position, std::size_t points);

    // -1 (the default) spaces the tics by "TicCount"; the metronome's dual
    // display sets the number of tics it wants. Takes effect at the next Layout.
    void SetTicTotal(int total) { ticTotal_ = total; }
    int GetTicTotal() const { return ticTotal_; }

    const std::vector<Vabo::Point>& Arc() const { return arc_; }
    const std::vector<Segment>& Tics() const { return tics_; }
    Vabo::Point Pivot() const { return pivot_; }
    float FaceWidth() const { return faceWidth_; }
    const GdiplusGfxLayer::Color& GetColor() const { return color_; }

private:
    void BuildTics(const std::vector<Vabo::Point>& half);
    float NeedleWidth() const;
    Segment Tic(const Vabo::Point& point) const;
    Vabo::Point Absolute(const Vabo::Point& point) const;

    float radiusFraction_ = 0.0f;
    float lineWidthFraction_ = 0.0f;
    float needleWidthFraction_ = 0.0f;
    float ticCount_ = 1.0f;
    float ticLength_ = 0.0f;
    GdiplusGfxLayer::Color color_;
    float faceX_ = 0.0f;
    float faceY_ = 0.0f;
    float faceWidth_ = 0.0f;
    float faceHeight_ = 0.0f;
    std::vector<Vabo::Point> arc_;
    Vabo::Point pivot_;
    std::vector<Segment> tics_;
    float radius_ = 0.0f;
    float arcHeight_ = 0.0f;
    float margin_ = 0.0f;
    ScalarSource position_;
    int ticTotal_ = -1;
};
