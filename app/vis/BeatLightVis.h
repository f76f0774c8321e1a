#pragma once
// The beat lamp ("BeatLightVis"): full at each beat, falling back during it,
// dark while the output is stopped.
#include "app/vis/ObjectSliderVis.h"

class BeatLightVis : public Vabo::ObjectSliderVis {
public:
    // The output stream's clock.
    explicit BeatLightVis(TiXmlElement* element);

    bool LoadFromXML(TiXmlElement*) { return true; }
};
