#pragma once
// The needle display with "+" and "-" and the unit at its ends in place of
// the end frequencies.
#include "app/vis/MeterVis.h"

template <class Policy, class Face> class SimpleMeterVis : public MeterVis<Policy, Face> {
public:
    using MeterVis<Policy, Face>::MeterVis;

    void Layout(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height) override
    {
        MeterVis<Policy, Face>::Layout(painter, x, y, width, height);
        this->hiText_ = "+" + this->GetPolicy().unit;
        this->loText_ = "-" + this->GetPolicy().unit;
    }
};
