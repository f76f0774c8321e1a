#include "app/CaptionButton.h"

#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/ObjectSignals.h"
#include "framework/widgets/ImageButton.h"
#include "framework/widgets/Text.h"
#include "platform/Log.h"

CaptionButton::CaptionButton(TiXmlElement* element)
    : GridLayout(element, true)
{
}

CaptionButton::~CaptionButton() = default;

Vabo::GuiObject* CaptionButton::Child(const std::string& name)
{
    Vabo::GuiObject* child = DllGlobalObjectFactoryInstance().FindObject(this, name);
    if (!child || child->GetParent() != this) {
        Platform::Log("CaptionButton: \"" + GetName() + "\" has no child \"" + name + "\"");
        return nullptr;
    }
    return child;
}

std::vector<Vabo::Text*> CaptionButton::Labels()
{
    std::vector<Vabo::Text*> labels;
    auto* text = dynamic_cast<Vabo::ImageButton*>(Child("ButtonText"));
    if (!text)
        return labels;
    for (Vabo::GuiObject* face : {text->GetSelectedFace(), text->GetUnSelectedFace(), text->GetMouseOverFace()}) {
        if (auto* label = dynamic_cast<Vabo::Text*>(face))
            labels.push_back(label);
        else
            Platform::Log("CaptionButton: a state of \"" + GetName() + "->ButtonText\" is not a text label");
    }
    return labels;
}

void CaptionButton::SetButtonText(const std::string& text)
{
    for (Vabo::Text* label : Labels())
        label->SetText(text);
}

std::string CaptionButton::GetButtonText()
{
    auto* text = dynamic_cast<Vabo::ImageButton*>(Child("ButtonText"));
    auto* pressed = text ? dynamic_cast<Vabo::Text*>(text->GetSelectedFace()) : nullptr;
    return pressed ? pressed->GetText() : std::string();
}

void CaptionButton::StartButtonAnimation()
{
    StartAnimation();
}

void CaptionButton::StartAnimationSlot(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    StartButtonAnimation();
}

void CaptionButton::OnSelectObject(Vabo::Signal::Base* signal, Vabo::GuiObject* object)
{
    GuiObject::OnSelectObject(signal, object);
    auto* select = static_cast<Vabo::Signal::SelectObject*>(signal);
    for (const char* name : {"Button", "ButtonText"}) {
        if (Vabo::GuiObject* child = Child(name))
            child->SetSelectedBySignal(select, IsSelected());
    }
}
