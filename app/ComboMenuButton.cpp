#include "app/ComboMenuButton.h"

#include "framework/core/Registration.h"
#include "framework/widgets/Text.h"

namespace {

Vabo::RegisterClass<ComboMenuButton> buttonClass("ComboMenuButton", "", [](TiXmlElement* element) -> Vabo::GuiObject* {
    return new ComboMenuButton(element);
});
Vabo::SignalRegistrar<ComboMenuButton::SignalStartAnimation> startSignal("ComboMenuButton::SignalStartAnimation");

} // namespace

ComboMenuButton::ComboMenuButton(TiXmlElement* element)
    : CaptionButton(element)
{
    AddSlot<SignalStartAnimation>(&CaptionButton::StartAnimationSlot, this);
    for (Vabo::Text* label : Labels())
        label->SetFontConversion(GdiplusGfxLayer::Font::Width);
    SetButtonText(GetName());
    SetUnselectable(false);
}

ComboMenuButton::~ComboMenuButton() = default;
