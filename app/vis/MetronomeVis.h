#pragma once
// The metronome's main display ("MetronomeVis"): the beat and bar gauge, the
// sweeping markers and an empty face, cycled by a click. The tick strip and
// the dual meter are built from the skin too, but not cycled through.
#include "app/vis/BarVis.h"
#include "app/vis/BeatClock.h"
#include "app/vis/BeatVis.h"
#include "app/vis/BlankVis.h"
#include "app/vis/DualAnalogVis.h"
#include "app/vis/TimeVis.h"
#include "app/vis/Vis.h"

class MetronomeVis : public Vis {
public:
    // The output stream's clock; "BeatVis", "TimeVis", "BarVis" and
    // "DualAnalogVis" children are required.
    explicit MetronomeVis(TiXmlElement* element);
    MetronomeVis(TiXmlElement* element, BeatClock clock);
    ~MetronomeVis() override;

    bool LoadFromXML(TiXmlElement*) { return true; }

    const BeatClock& Clock() const { return clock_; }
    const TimeVis& Strip() const { return timeVis_; }

private:
    BeatClock clock_;
    BeatVis beatVis_;
    TimeVis timeVis_;
    BarVis barVis_;
    DualAnalogVis dualVis_;
    BlankVis blank_;
};
