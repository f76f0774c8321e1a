#include "app/MenuButton.h"

#include "framework/core/Registration.h"

namespace {

Vabo::RegisterClass<MenuButton> buttonClass("MenuButton", "", [](TiXmlElement* element) -> Vabo::GuiObject* {
    return new MenuButton(element);
});
Vabo::SignalRegistrar<MenuButton::SignalStartAnimation> startSignal("MenuButton::SignalStartAnimation");

} // namespace

MenuButton::MenuButton(TiXmlElement* element)
    : CaptionButton(element)
{
    AddSlot<SignalStartAnimation>(&CaptionButton::StartAnimationSlot, this);
    SetButtonText(GetName());
    SetUnselectable(false);
}

MenuButton::~MenuButton() = default;
