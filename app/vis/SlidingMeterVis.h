#pragma once
// A note scale that slides under a fixed centre as the measured frequency
// moves between notes: 2L + 1 lines per note (L scale lines either side of
// each note line, their heights from a profile), the note names written over
// the note lines in a band above the scale.
#include "app/vis/ValueSource.h"
#include "app/vis/VisBase.h"

#include "framework/drawing/Color.h"
#include "framework/drawing/Font.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class SlidingMeterVis : public VisBase {
public:
    struct Style {
        int top;
        int bottom;
        GdiplusGfxLayer::Color color;
    };
    struct Area {
        float x = 0.0f;
        float y = 0.0f;
        float width = 0.0f;
        float height = 0.0f;
    };

    // The first source is the measured frequency; the second is kept unused.
    SlidingMeterVis(TiXmlElement* element, ScalarSource frequency, ScalarSource second);

    // "BackColor"; "Labels" ("Height", "Color", a "Font" child); "Scale"
    // ("ScaleColor", "MidColor", "CenterColor", "LineCount" and "NoteCount" at
    // least 1, "CenterWidth", a "Bar" child's "MinWidth" and "MaxWidth", the
    // "Height" of each "Shape" child, at least one).
    bool LoadFromXML(TiXmlElement* element);
    bool SetSize(int width, int height) override;
    bool Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height) override;

    // Where f lies inside its note interval: 0 to 1 from the note below up to
    // the nearest note, 0 to 1 again from there to the note above; 0 outside
    // the table's neighbours or for no number.
    static float Phase(float f, float lo, float c, float hi);
    // The profile sampled at x = n t, n its number of values.
    float ShapeAt(float t) const;

    const std::vector<Style>& Styles() const { return styles_; }
    const Area& ScaleArea() const { return scale_; }
    // The x positions of the note lines and their names, as last drawn.
    const std::vector<std::pair<int, std::string>>& NoteLabels() const { return noteLabels_; }
    float LastFrequency() const { return lastFrequency_; }
    float CentreLineWidth() const { return centreLineWidth_; }
    float EdgeLineWidth() const { return edgeLineWidth_; }

private:
    void Layout(int x, int y, int width, int height);
    const Vabo::Rect& Box(const std::string& text);

    ScalarSource frequency_;
    ScalarSource second_;
    bool resized_ = true;
    Vabo::Rect laidOut_;
    float labelFraction_ = 0.0f;
    Area label_;
    Area scale_;
    GdiplusGfxLayer::Color backColor_;
    std::shared_ptr<GdiplusGfxLayer::Font> labelFont_;
    GdiplusGfxLayer::Color labelColor_;
    int noteCount_ = 1;
    float lineCount_ = 1.0f;
    std::vector<float> shape_;
    GdiplusGfxLayer::Color centreColor_;
    GdiplusGfxLayer::Color midColor_;
    GdiplusGfxLayer::Color scaleColor_;
    float centreWidth_ = 0.0f;
    float minWidth_ = 0.0f;
    float maxWidth_ = 0.0f;
    std::vector<Style> styles_;
    float edgeLineWidth_ = 1.0f;
    float centreLineWidth_ = 1.0f;
    float lastFrequency_ = 0.0f;
    std::map<std::string, Vabo::Rect> boxes_;
    std::vector<std::pair<int, std::string>> noteLabels_;
};
