#include "app/vis/BeatLightVis.h"

#include "app/vis/BeatClock.h"
#include "framework/core/Registration.h"

namespace {

Vabo::RegisterClass<BeatLightVis> beatLightClass("BeatLightVis", "", [](TiXmlElement* element) -> Vabo::GuiObject* {
    return new BeatLightVis(element);
});

} // namespace

BeatLightVis::BeatLightVis(TiXmlElement* element)
    : ObjectSliderVis(element, [clock = BeatClock()] { return 1.0f - clock.BeatPhaseNow(); })
{
    RegisterLoader<BeatLightVis>(element, this);
}
