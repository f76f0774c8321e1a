#include "app/vis/ObjectSliderVis.h"

#include "app/vis/TuneValueFunctor.h"

#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/Registration.h"
#include "framework/widgets/ObjectSlider.h"

#include <algorithm>
#include <cmath>

namespace Vabo {
namespace {

RegisterClass<ObjectSliderVis> powerLightClass("PowerLightVis", "XML/Main/Vis/PowerLightVis.xml",
                                               [](TiXmlElement* element) -> GuiObject* {
                                                   return new ObjectSliderVis(element);
                                               });

} // namespace

ObjectSliderVis::ObjectSliderVis(TiXmlElement* element)
    : ObjectSliderVis(element, TuneSqrAbsValueFunctor<CentsPolicy>())
{
}

ObjectSliderVis::ObjectSliderVis(TiXmlElement* element, ScalarSource value)
    : GridLayout(element, true)
    , value_(std::move(value))
{
    RegisterLoader<ObjectSliderVis>(element, this);
}

bool ObjectSliderVis::LoadFromXML(TiXmlElement* element)
{
    if (loaded_)
        return true;
    for (const char* tag : {"Vabo::Image", "Vabo::ObjectSlider"}) {
        if (!HasChild(element, tag))
            continue;
        std::shared_ptr<GuiObject> part = DllGlobalObjectFactoryInstance().Create(GetChild(element, tag));
        if (!part)
            ThrowXmlError(element, tag);
        parts_.push_back(part);
        if (std::string(tag) == "Vabo::ObjectSlider")
            slider_ = std::dynamic_pointer_cast<ObjectSlider>(part);
    }
    for (const auto& part : parts_)
        AddObjectAtFractions(part.get(), 0.0f, 0.0f, 1.0f, 1.0f);
    loaded_ = true;
    return true;
}

int ObjectSliderVis::StepFor(float value, int min, int max)
{
    if (!std::isfinite(value))
        return min;
    return int(std::clamp(value, 0.0f, 1.0f) * float(max - min)) + min;
}

bool ObjectSliderVis::DrawSelf(GdiplusGfxLayer::Painter& painter)
{
    if (!parts_.empty() && slider_) {
        const int step = StepFor(value_(), slider_->GetMin(), slider_->GetMax());
        // Only a change is announced: a repaint for an unchanged light would
        // ask for the next frame at once, and so on without end.
        if (step != slider_->GetValue())
            slider_->SetValue(step);
    }
    GridLayout::DrawSelf(painter);
    return true;
}

} // namespace Vabo
