#pragma once
// The metronome screen's input display ("MetronomeSampleVis"): the tuner's
// input display under a type name of its own, so that the view shown on each
// screen is kept under its own settings key and neither overwrites the other.
#include "app/vis/SampleVis.h"

class MetronomeSampleVis : public SampleVis {
public:
    explicit MetronomeSampleVis(TiXmlElement* element);
    ~MetronomeSampleVis() override;
};
