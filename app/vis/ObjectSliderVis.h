#pragma once
// A lamp driven by a value from 0 to 1: an optional picture and an object
// slider that fill the display, the slider showing the step of the value
// each time the display is drawn ("PowerLightVis": closeness to the desired
// frequency, the in-tune light).
#include "app/vis/ShownParts.h"
#include "app/vis/ValueSource.h"

#include "framework/widgets/GridLayout.h"

#include <memory>
#include <vector>

namespace Vabo {

class ObjectSlider;

class ObjectSliderVis : public GridLayout {
public:
    // How the value becomes the slider's step.
    enum class Steps {
        Share, // the truncated share of the range
        // No number (nothing heard) is the first step; a number is at least
        // the second, so that a reading, however far off, is never dark.
        ReadingLit,
    };

    // "PowerLightVis": the closeness of the measured frequency to the desired
    // one (ReadingCloseness), a reading never dark.
    explicit ObjectSliderVis(TiXmlElement* element);
    ObjectSliderVis(TiXmlElement* element, ScalarSource value, Steps steps = Steps::Share);

    // TuneSqrAbsValueFunctor<CentsPolicy> on the two frequencies, and no
    // number while nothing is measured (0 Hz, the tracker's -1, no number).
    static ScalarSource ReadingCloseness(ScalarSource measured, ScalarSource desired);

    // Builds the optional "Vabo::Image" and "Vabo::ObjectSlider" children
    // through the object factory, once, each filling the display.
    bool LoadFromXML(TiXmlElement* element);
    // Moves the slider to min + trunc(value x (max - min)), then draws.
    bool DrawSelf(GdiplusGfxLayer::Painter& painter) override;
    // Whether the value has moved the light to another step than it shows:
    // an unchanged light is not drawn again at a refresh.
    bool ValuesChanged() const;
    // Makes the lamp dirty when its step changed.
    void Refresh();

    // The slider's value for a value from 0 to 1 (held to 0..1; min for no
    // number).
    static int StepFor(float value, int min, int max);
    static int StepFor(float value, int min, int max, Steps steps);
    ObjectSlider* Slider() const { return slider_.get(); }

private:
    // The slider's step for the present value; -1 without a slider.
    int Step() const;

    bool loaded_ = false;
    std::vector<std::shared_ptr<GuiObject>> parts_;
    std::shared_ptr<ObjectSlider> slider_;
    ScalarSource value_;
    Steps steps_;
    ShownParts shown_;
};

} // namespace Vabo
