#pragma once
// What the application's captioned choice buttons share: a grid layout whose
// child "Button" is the visible button and whose child "ButtonText" is an
// image button with a text label for each state. The caption is shown on all
// three labels; the button's mouse-over selection is mirrored onto both
// children; its animation restarts on its own start signal. A missing child,
// or a state that is not a label, is logged with the button's name and skipped.
#include "framework/widgets/GridLayout.h"

#include <string>
#include <vector>

namespace Vabo {
class Text;
}

class CaptionButton : public Vabo::GridLayout {
public:
    ~CaptionButton() override;

    // The same text on all three state labels.
    void SetButtonText(const std::string& text);
    // The text of the pressed-state label ("" without one).
    std::string GetButtonText();
    // Restarts the animations the button's element declares.
    virtual void StartButtonAnimation();
    void StartAnimationSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void OnSelectObject(Vabo::Signal::Base* signal, Vabo::GuiObject* object) override;

protected:
    explicit CaptionButton(TiXmlElement* element);

    // The state labels of "ButtonText" in the order pressed, rest, mouse-over.
    std::vector<Vabo::Text*> Labels();
    Vabo::GuiObject* Child(const std::string& name);
};
