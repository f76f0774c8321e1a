#include "framework/widgets/ToggleButton.h"

#include "framework/core/ObjectSignals.h"
#include "framework/core/Registration.h"
#include "framework/widgets/CreateDefinedChild.h"

namespace Vabo {

namespace {

RegisterClass<ToggleButton> toggleButtonClass("Vabo::ToggleButton", "$VABO/Objects/ToggleButton/ToggleButton.xml",
                                              [](TiXmlElement* element) -> GuiObject* {
                                                  return new ToggleButton(element);
                                              });
RegisterClassSlot<ToggleButton, Signal::Base> toggleSlot("Vabo::ToggleButton::SlotToggle", &ToggleButton::SlotToggle);

} // namespace

ToggleButton::ToggleButton(TiXmlElement* element)
    : GuiObject(element, 1, 0)
{
    RegisterLoader<ToggleButton>(element, this);
    AddSlot<Signal::Activate>(&ToggleButton::ToggleAndRedraw, this);
}

ToggleButton::~ToggleButton() = default;

bool ToggleButton::LoadFromXML(TiXmlElement* element)
{
    if (loaded_) {
        ShowState();
        return true;
    }
    SetUnselectable(false);
    std::shared_ptr<GuiObject> up = CreateDefinedChild(*this, element, "Up");
    std::shared_ptr<GuiObject> down = CreateDefinedChild(*this, element, "Down");
    up_ = up;
    down_ = down;
    AddChild(up_.get(), false);
    AddChild(down_.get(), false);
    int buttonState = 1;
    ReadXmlAttribute(buttonState, element, "ButtonState", false, kSkinFlag);
    // "ButtonState" 0 starts the button down; anything else starts it up.
    state_ = buttonState == 0 ? 1 : 0;
    previousState_ = state_;
    loaded_ = true;
    ShowState();
    return true;
}

bool ToggleButton::SetSize(int width, int height)
{
    const bool result = GuiObject::SetSize(width, height);
    for (GuiObject* face : {up_.get(), down_.get()}) {
        if (face)
            face->SetSize(GetWidth(), GetHeight());
    }
    return result;
}

void ToggleButton::SlotToggle(Signal::Base*, GuiObject*)
{
    SetState(1 - state_);
}

void ToggleButton::ToggleAndRedraw(Signal::Base* signal, GuiObject* object)
{
    SlotToggle(signal, object);
    Invalidate();
}

void ToggleButton::SetState(int state)
{
    previousState_ = state_;
    state_ = state;
    ShowState();
}

void ToggleButton::ShowState()
{
    if (!up_ || !down_)
        return;
    up_->SetVisible(state_ == 0);
    down_->SetVisible(state_ != 0);
}

} // namespace Vabo
