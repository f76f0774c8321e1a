#include "app/vis/MetronomeVis.h"

#include "framework/core/Registration.h"

namespace {

Vabo::RegisterClass<MetronomeVis> metronomeVisClass("MetronomeVis", "", [](TiXmlElement* element) -> Vabo::GuiObject* {
    return new MetronomeVis(element);
});
} // namespace

MetronomeVis::MetronomeVis(TiXmlElement* element)
    : MetronomeVis(element, BeatClock())
{
}

MetronomeVis::MetronomeVis(TiXmlElement* element, BeatClock clock)
    : Vis(element)
    , clock_(std::move(clock))
    , beatVis_(
          GetChild(element, "BeatVis"), [this] { return clock_.BeatPhaseNow(); },
          [this] { return clock_.BarPhaseNow(); })
    , timeVis_(
          GetChild(element, "TimeVis"), [this] { return clock_.OutputSeconds(); },
          [this](float t) { return clock_.BeatPhaseAt(t); }, [this](float t) { return clock_.BarPhaseAt(t); })
    , barVis_(
          GetChild(element, "BarVis"), [this] { return clock_.BeatPhaseNow(); },
          [this] { return clock_.BarPhaseNow(); })
    , dualVis_(
          GetChild(element, "DualAnalogVis"), [this] { return clock_.BeatPhaseNow(); },
          [this] { return clock_.BarPhaseNow(); }, [this] { return clock_.IsRunning(); })
    , blank_(element)
{
    AddDisplay(beatVis_);
    AddDisplay(barVis_);
    AddDisplay(blank_);
    RegisterLoader<MetronomeVis>(element, this);
    RestoreSelection();
}

MetronomeVis::~MetronomeVis()
{
    SaveSelection();
}
