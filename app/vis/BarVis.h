#pragma once
// Sweeping markers: in each half of the display a short marker crosses once
// per beat (first source) and a tall one once per bar (second source),
// with a divider between the halves. A refresh draws again only where each
// marker was and goes.
#include "app/vis/BeatVis.h"

class BarVis : public BeatVis {
public:
    BarVis(TiXmlElement* element, ScalarSource first, ScalarSource second);

protected:
    void DrawPhases(GdiplusGfxLayer::Painter& painter, const Vabo::Rect& rect, float first, float second) override;
    std::vector<Moving> MovingParts(const Vabo::Rect& rect, float first, float second) const override;
};
