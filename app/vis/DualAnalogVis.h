#pragma once
// An analog meter with a second indicator: besides the needle (main source)
// an arrow from the pivot towards the scale point of the second source, of a
// fraction of the needle's length. Both sources are phases that rise through
// each beat; needle and arrow swing with them, one way during a beat and back
// during the next. Its tics follow the accent: one more tic than beats per bar.
#include "app/vis/AnalogMeter.h"
#include "app/vis/FixedLayer.h"
#include "app/vis/VisBase.h"

class DualAnalogVis : public VisBase {
public:
    // The face from the "Analog" child; the arrow from the element's own
    // "Color", "DialLength", "DialWidth" and "OnTop", all required.
    // `running` tells whether the output plays (by default the audio
    // device's output); while it does not, needle and arrow rest at 0.
    DualAnalogVis(TiXmlElement* element, ScalarSource main, ScalarSource second, std::function<bool()> running = {});

    bool LoadFromXML(TiXmlElement*) { return true; }
    bool SetSize(int width, int height) override;
    bool Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height) override;

    const AnalogMeter& Meter() const { return meter_; }
    // The arrow's end as last drawn.
    Vabo::Point ArrowEnd() const { return arrowEnd_; }

private:
    void DrawArrow(GdiplusGfxLayer::Painter& painter);

    bool resized_ = false;
    Vabo::Rect laidOut_;
    ScalarSource second_;
    AnalogMeter meter_;
    // The scale and its tics.
    FixedLayer fixed_;
    GdiplusGfxLayer::Color arrowColor_;
    float arrowLength_ = 0.0f;
    float arrowWidth_ = 0.0f;
    bool onTop_ = false;
    int ticCount_ = -1;
    Vabo::Point arrowEnd_;
};
