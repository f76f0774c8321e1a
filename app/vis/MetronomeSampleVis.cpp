#include "app/vis/MetronomeSampleVis.h"

#include "framework/core/Registration.h"

namespace {

Vabo::RegisterClass<MetronomeSampleVis> metronomeSampleVisClass("MetronomeSampleVis", "",
                                                                [](TiXmlElement* element) -> Vabo::GuiObject* {
                                                                    return new MetronomeSampleVis(element);
                                                                });

} // namespace

MetronomeSampleVis::MetronomeSampleVis(TiXmlElement* element)
    : SampleVis(element)
{
    // The base restored the tuner's choice; a choice of its own, once saved, wins.
    RegisterLoader<MetronomeSampleVis>(element, this);
    RestoreSelection();
}

MetronomeSampleVis::~MetronomeSampleVis()
{
    SaveSelection();
}
