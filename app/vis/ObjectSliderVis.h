#pragma once
// A lamp driven by a value from 0 to 1: an optional picture and an object
// slider that fill the display, the slider showing the step of the value
// each time the display is drawn ("PowerLightVis": closeness to the desired
// frequency, the in-tune light).
#include "app/vis/ValueSource.h"

#include "framework/widgets/GridLayout.h"

#include <memory>
#include <vector>

namespace Vabo {

class ObjectSlider;

class ObjectSliderVis : public GridLayout {
public:
    // "PowerLightVis": TuneSqrAbsValueFunctor<CentsPolicy> on the measured
    // and the desired frequency.
    explicit ObjectSliderVis(TiXmlElement* element);
    ObjectSliderVis(TiXmlElement* element, ScalarSource value);

    // Builds the optional "Vabo::Image" and "Vabo::ObjectSlider" children
    // through the object factory, once, each filling the display.
    bool LoadFromXML(TiXmlElement* element);
    // Moves the slider to min + trunc(value x (max - min)), then draws.
    bool DrawSelf(GdiplusGfxLayer::Painter& painter) override;

    // The slider's value for a value from 0 to 1 (held to 0..1; min for no
    // number).
    static int StepFor(float value, int min, int max);
    ObjectSlider* Slider() const { return slider_.get(); }

private:
    bool loaded_ = false;
    std::vector<std::shared_ptr<GuiObject>> parts_;
    std::shared_ptr<ObjectSlider> slider_;
    ScalarSource value_;
};

} // namespace Vabo
