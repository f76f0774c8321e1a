#pragma once
// The input level bar ("ThresholdVis"): between two lines in the high colour,
// a bar grows to the right with the level, filled with a gradient from the
// low colour at its top-left corner to the high colour at its bottom-right.
#include "app/vis/PowerCalcFunctor.h"
#include "app/vis/ShownParts.h"
#include "app/vis/VisBase.h"

#include "framework/drawing/Color.h"

class GradientVis : public VisBase {
public:
    // Reads "ColorLow" and "ColorHigh", both required. Measures the newest
    // input block unless given another level source.
    explicit GradientVis(TiXmlElement* element);
    GradientVis(TiXmlElement* element, ScalarSource level);

    bool LoadFromXML(TiXmlElement* element);
    bool Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height) override;
    // All of it when the bar's length changed, else nothing.
    Vabo::Rect ChangedArea(int x, int y, int width, int height) override;

    // round(width x min(level, 1)); nothing for a level below 0, minus
    // infinity (silence) or no number.
    static int FilledWidth(int width, float level);

private:
    ScalarSource level_;
    GdiplusGfxLayer::Color low_;
    GdiplusGfxLayer::Color high_;
    ShownParts parts_;
};
