#include "framework/host/MessageBoxA.h"

#include <algorithm>

#include <tinyxml.h>

#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/KeyCommandSignals.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/Registration.h"
#include "framework/host/MessageBoxLayout.h"
#include "framework/widgets/Text.h"
#include "platform/Log.h"

namespace Vabo {

namespace {

// Registered as the application's classes are: under its bare name, with no
// default definition, since the skin's own document defines the whole box.
RegisterClass<MessageBoxA> messageBoxClass("MessageBoxA", "", [](TiXmlElement* element) -> GuiObject* {
    return new MessageBoxA(element);
});
RegisterClassSlot<MessageBoxA, Signal::Activate> buttonSlot("MessageBox::ButtonClickedSlot",
                                                            &MessageBoxA::ButtonClickedSlot);

} // namespace

MessageBoxA::MessageBoxA(TiXmlElement* element)
    : AppWindow(element)
{
    if (element)
        RegisterLoader<MessageBoxA>(element, this);
    AddSlot<Signal::Cancel>(&MessageBoxA::CancelSlot, this);
}

MessageBoxA::~MessageBoxA()
{
    if (auto* container = GetXMLObject<GuiObject>(this, "ButtonContainer")) {
        for (const auto& button : buttons_) {
            DllGlobalObjectFactoryInstance().RemoveAlias(button.second.name, container);
        }
    }
}

bool MessageBoxA::LoadFromXML(TiXmlElement* element)
{
    ReadXmlAttribute(buttonDocument_, element, "ObjectXML", true);
    ReadXmlAttribute(maxButtons_, element, "MaxButtons", false, kSkinCount);
    return true;
}

void MessageBoxA::SetUp(const std::string& message, const std::string& labels, ButtonCallback callback)
{
    if (!callback) {
        callback = [this](const std::string& name) {
            answer_ = name;
            Close();
        };
    }
    std::vector<std::string> names = SplitButtonLabels(labels);
    if (names.empty())
        names.push_back("OK");
    labels_ = names;
    answerCallback_ = callback;

    if (auto* container = GetXMLObject<GridLayout>(this, "ButtonContainer")) {
        const int count = static_cast<int>(names.size());
        for (int i = 0; i < count; ++i) {
            if (GuiObject* button = MakeButton(*container, names[i], i + 1, count)) {
                buttons_[button] = Button{names[i], callback};
                // Tab and Shift+Tab go along the row; Return presses the
                // first button unless another is selected.
                PlaceInTabList(button, i, 0);
                if (buttons_.size() == 1)
                    SetDefaultStop(button);
            }
        }
    }
    if (auto* text = GetXMLObject<Text>(this, "Message"))
        text->SetText(message);
}

GuiObject* MessageBoxA::MakeButton(GridLayout& container, const std::string& label, int index, int count)
{
    // Every button is built from a fresh copy of the document, so that each
    // carries its own label; the copies go with the box.
    TiXmlElement* root = LoadOwnXML(buttonDocument_, GetXmlElement());
    if (!root) {
        Platform::Log("MessageBoxA: cannot build the button \"" + label + "\" from " + buttonDocument_);
        return nullptr;
    }
    root->SetAttribute("Text", label);
    // Beside any button of the same label: a label may stand twice in a row,
    // and replacing would free a button the box still holds.
    GuiObject* button = DllGlobalObjectFactoryInstance().CreateBeside(root->Value(), label, &container, root);
    if (!button)
        return nullptr;
    button->SetName(label);
    // Whatever the document builds it from (a label, a layout), it is a button
    // the keys go to and Return presses.
    button->SetUnselectable(0);
    const ButtonSlot slot = PlaceButton(index, count, maxButtons_);
    container.AddObjectAt(button, GridVal(0.0f, slot.left), GridVal(0.0f, 0.0f), GridVal(0.0f, slot.width),
                          GridVal(0.0f, 1.0f));
    button->AddSlot<Signal::Activate>(&MessageBoxA::ButtonClickedSlot, this);
    return button;
}

void MessageBoxA::ConfirmSlot(Signal::Base*, GuiObject*)
{
    if (!PressSelected() && !labels_.empty() && answerCallback_)
        answerCallback_(labels_.front());
}

void MessageBoxA::CancelSlot(Signal::Base*, GuiObject*)
{
    // Backing out is not a choice: only a box that offers "CANCEL" hears it,
    // any other closes unanswered, so Escape never agrees to what a button asks.
    const bool hasCancel = std::find(labels_.begin(), labels_.end(), "CANCEL") != labels_.end();
    if (hasCancel && answerCallback_)
        answerCallback_("CANCEL");
    else
        Close();
}

void MessageBoxA::ButtonClickedSlot(Signal::Base*, GuiObject* object)
{
    auto entry = buttons_.find(object);
    if (entry != buttons_.end() && entry->second.callback)
        entry->second.callback(object->GetName());
}

} // namespace Vabo
