#pragma once
// The bar meter face: a row of vertical lines, each standing for a position
// from 0 (left) to 1 (right) with a height from a profile; the lines either
// side of the needle position widen towards it and take their own colour.
#include "app/vis/ValueSource.h"

#include "framework/drawing/Color.h"
#include "framework/drawing/Geometry.h"
#include "framework/drawing/Geometry.h"

#include <vector>

class TiXmlElement;
class XMLLoadSave;

namespace GdiplusGfxLayer {
class Painter;
}

class LogMeter {
public:
    struct Line {
        float value;
        Vabo::Point top;
        Vabo::Point bottom;
        GdiplusGfxLayer::Color color;
    };

    // Reads the "Log" child: "ScaleColor", "MidColor", "CenterColor",
    // "LineCount" (at least 1), "CenterWidth", its "Bar" child's "MinWidth"
    // and "MaxWidth", and the "Height" of each "Shape" child (at least one).
    LogMeter(XMLLoadSave& reader, TiXmlElement* element, ScalarSource position);

    void Layout(float x, float y, float width, float height);
    void Draw(GdiplusGfxLayer::Painter& painter) const;
    // Every line moves with the position: nothing stays between frames.
    void DrawFixed(GdiplusGfxLayer::Painter&) const {}
    void DrawMoving(GdiplusGfxLayer::Painter& painter) const { Draw(painter); }

    // The position as a state (its bits): every line may move with it, so a
    // state covers the whole face.
    int MovingState() const;
    Vabo::Rect MovingArea(int) const { return face_; }
    void DrawMoving(GdiplusGfxLayer::Painter& painter, int state) const;

    // The profile at t in 0..1, its entries spread evenly over 0..1.
    float ShapeAt(float t) const;
    // The pen width of line i for the position.
    float LineWidth(std::size_t i, float position) const;
    const std::vector<Line>& Lines() const { return lines_; }
    float MinPixels() const { return minPixels_; }
    float MaxPixels() const { return maxPixels_; }

private:
    void DrawAt(GdiplusGfxLayer::Painter& painter, float position) const;
    std::vector<float> shape_;
    float lineCount_ = 1.0f;
    float centreWidth_ = 0.0f;
    float minWidth_ = 0.0f;
    float maxWidth_ = 0.0f;
    GdiplusGfxLayer::Color scaleColor_;
    GdiplusGfxLayer::Color centreColor_;
    GdiplusGfxLayer::Color midColor_;
    float maxPixels_ = 1.0f;
    float minPixels_ = 1.0f;
    float innerX_ = 0.0f;
    float innerY_ = 0.0f;
    float innerWidth_ = 0.0f;
    float innerHeight_ = 0.0f;
    std::vector<Line> lines_;
    ScalarSource position_;
    Vabo::Rect face_;
};
