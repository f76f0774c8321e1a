// The input display of the metronome screen is the tuner's input display
// under a name of its own in the skin. Built from the same document, it keeps
// its shown display under the same settings key, "SampleVis".
#include "app/vis/SampleVis.h"

#include "framework/core/Registration.h"

namespace {

Vabo::RegisterClass<SampleVis> metronomeSampleVisClass("MetronomeSampleVis", "XML/Main/Vis/SampleVis.xml",
                                                       [](TiXmlElement* element) -> Vabo::GuiObject* {
                                                           return new SampleVis(element);
                                                       });

} // namespace
