#pragma once
// Sweeping markers: in each half of the display a short marker crosses once
// per beat (first source) and a tall one once per bar (second source),
// with a divider between the halves.
#include "app/vis/BeatVis.h"

class BarVis : public BeatVis {
public:
    BarVis(TiXmlElement* element, ScalarSource first, ScalarSource second);

    bool Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height) override;
};
