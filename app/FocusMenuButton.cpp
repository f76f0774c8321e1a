#include "app/FocusMenuButton.h"

#include "framework/core/Registration.h"
#include "framework/core/ScreenManagerNotReady.h"
#include "framework/widgets/Text.h"

namespace {

Vabo::RegisterClass<FocusMenuButton> buttonClass("FocusMenuButton", "", [](TiXmlElement* element) -> Vabo::GuiObject* {
    return new FocusMenuButton(element);
});
Vabo::SignalRegistrar<FocusMenuButton::SignalStartAnimation> startSignal("FocusMenuButton::SignalStartAnimation");

} // namespace

FocusMenuButton::FocusMenuButton(TiXmlElement* element)
    : CaptionButton(element)
{
    AddSlot<SignalStartAnimation>(&CaptionButton::StartAnimationSlot, this);
    SetButtonText(GetName());
    SetUnselectable(false);
}

FocusMenuButton::~FocusMenuButton() = default;

bool FocusMenuButton::SetSize(int width, int height)
{
    // A button not yet in a window's tree has no root to measure against.
    Vabo::GuiObject* root = nullptr;
    try {
        root = GetRootObject();
    } catch (const Vabo::ScreenManagerNotReady&) {
    }
    if (!root)
        return false;
    const int rootHeight = root->GetHeight();
    if (rootHeight != 0) {
        for (Vabo::Text* label : Labels())
            label->GetFont()->SetSize(30.0f * static_cast<float>(height) / static_cast<float>(rootHeight));
    }
    return GuiObject::SetSize(width, height);
}
