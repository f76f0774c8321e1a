#include "app/vis/ObjectSliderVis.h"

#include "app/vis/TuneValueFunctor.h"
#include "app/vis/VisBase.h"

#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/Registration.h"
#include "framework/widgets/ObjectSlider.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Vabo {
namespace {

RegisterClass<ObjectSliderVis> powerLightClass("PowerLightVis", "",
                                               [](TiXmlElement* element) -> GuiObject* {
                                                   return new ObjectSliderVis(element);
                                               });

} // namespace

ObjectSliderVis::ObjectSliderVis(TiXmlElement* element)
    : ObjectSliderVis(element, ReadingCloseness(MeasuredFrequencySource(), DesiredFrequencySource()),
                      Steps::ReadingLit)
{
}

ObjectSliderVis::ObjectSliderVis(TiXmlElement* element, ScalarSource value, Steps steps)
    : GridLayout(element, true)
    , value_(std::move(value))
    , steps_(steps)
{
    RegisterLoader<ObjectSliderVis>(element, this);
}

ScalarSource ObjectSliderVis::ReadingCloseness(ScalarSource measured, ScalarSource desired)
{
    return [measured, closeness = TuneSqrAbsValueFunctor<CentsPolicy>(measured, desired)]() mutable {
        const float f = measured();
        if (!(f > 0.0f) || !std::isfinite(f))
            return std::numeric_limits<float>::quiet_NaN();
        return closeness();
    };
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

int ObjectSliderVis::StepFor(float value, int min, int max, Steps steps)
{
    const int step = StepFor(value, min, max);
    if (steps == Steps::ReadingLit && std::isfinite(value) && max > min)
        return std::max(step, min + 1);
    return step;
}

bool ObjectSliderVis::ValuesChanged() const
{
    return parts_.empty() || !slider_
        || StepFor(value_(), slider_->GetMin(), slider_->GetMax(), steps_) != slider_->GetValue();
}

bool ObjectSliderVis::DrawSelf(GdiplusGfxLayer::Painter& painter)
{
    const int step = Step();
    if (step >= 0 && step != slider_->GetValue()) {
        // Only a change is announced: a repaint for an unchanged light would
        // ask for the next frame at once, and so on without end.
        slider_->SetValue(step);
    }
    GridLayout::DrawSelf(painter);
    shown_.Drawn(step, GetRectInParent());
    return true;
}

void ObjectSliderVis::Refresh()
{
    const Rect rect = GetRectInParent();
    VisBase::InvalidatePart(*this, shown_.Refresh(Step(), rect, rect));
}

int ObjectSliderVis::Step() const
{
    return !parts_.empty() && slider_ ? StepFor(value_(), slider_->GetMin(), slider_->GetMax(), steps_) : -1;
}

} // namespace Vabo
