#pragma once
// A gauge of two columns: each is full at phase 0 and sinks toward the
// bottom as its phase grows (the beat on the left, the bar on the right).
#include "app/vis/ValueSource.h"
#include "app/vis/VisBase.h"
#include "framework/drawing/Color.h"

#include <limits>

class BeatVis : public VisBase {
public:
    // The columns' colour from the required "Color".
    BeatVis(TiXmlElement* element, ScalarSource first, ScalarSource second);

    bool LoadFromXML(TiXmlElement* element);
    bool Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height) override;
    // Whether either phase moved since it was last drawn.
    bool ValuesChanged() override;

    // The top of a column of that phase in a display h high: the phase's
    // share of h, rounded, at most h - 1, so a column never vanishes.
    static int ColumnTop(float phase, int height);

protected:
    // The phases, read for a frame; kept as the ones last drawn.
    float First();
    float Second();

    ScalarSource first_;
    ScalarSource second_;
    GdiplusGfxLayer::Color color_;

private:
    // None drawn yet: no phase equals them.
    float drawnFirst_ = std::numeric_limits<float>::quiet_NaN();
    float drawnSecond_ = std::numeric_limits<float>::quiet_NaN();
};
