#pragma once
// The empty display: a container's way of showing nothing.
#include "app/vis/VisBase.h"

class BlankVis : public VisBase {
public:
    explicit BlankVis(TiXmlElement* element)
        : VisBase(element)
    {
    }

    bool Draw(GdiplusGfxLayer::Painter&, int, int, int, int) override { return true; }
    bool ValuesChanged() override { return false; }
};
