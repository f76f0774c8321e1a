// The message box: an application window that shows a message in its "Message"
// label and a row of buttons in its "ButtonContainer", one per label, and
// reports the name of the button pressed. Each button is built from the
// "ObjectXML" document, whose root element receives the label as its "Text"
// attribute before the button is built (a label root shows it directly; its
// children can refer to it as "$<root name>!Text!"); the box names the button
// after its label, makes it selectable, puts it in its tab order and listens to
// its Signal::Activate itself.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "framework/host/AppWindow.h"

namespace Vabo {

class MessageBoxA : public AppWindow {
public:
    using ButtonCallback = std::function<void(const std::string& name)>;

    explicit MessageBoxA(TiXmlElement* element);
    ~MessageBoxA() override;

    bool LoadFromXML(TiXmlElement* element);

    // Puts the message into "Message" and one button per label of the list
    // ("OK" when the list holds none) into "ButtonContainer". A pressed button
    // passes its name to the callback; without one, the name becomes the answer
    // and the box closes.
    void SetUp(const std::string& message, const std::string& labels, ButtonCallback callback = {});

    // Return presses the selected button, else the first (the default one,
    // selected and ringed whenever no other is, see Window::SetDefaultStop);
    // Escape presses "CANCEL" where the box has it, else closes the box
    // without an answer, as the window's close does.
    void ConfirmSlot(Signal::Base* signal, GuiObject* object) override;
    void CancelSlot(Signal::Base* signal, GuiObject* object);

    // Named slot "MessageBox::ButtonClickedSlot".
    void ButtonClickedSlot(Signal::Base* signal, GuiObject* object);

    const std::string& GetAnswer() const { return answer_; }
    int GetMaxButtons() const { return maxButtons_; }

private:
    GuiObject* MakeButton(GridLayout& container, const std::string& label, int index, int count);

    int maxButtons_ = 4;
    std::string buttonDocument_;
    std::string answer_;
    // Each button with the name it was given (kept here: the box's destructor
    // runs when its buttons may already be gone) and its callback.
    struct Button {
        std::string name;
        ButtonCallback callback;
    };
    std::map<GuiObject*, Button> buttons_;
    // The labels in their order, and what answers them.
    std::vector<std::string> labels_;
    ButtonCallback answerCallback_;
};

} // namespace Vabo
