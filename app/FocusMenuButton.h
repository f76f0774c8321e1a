#pragma once
// A captioned button of a strip whose caption grows and shrinks with the
// button's height, as the strip's focus enlarges one of its buttons.
#include "app/CaptionButton.h"
#include "framework/core/Signal.h"

class FocusMenuButton : public CaptionButton {
public:
    // Restarts the button's animation; raised by name from the skin.
    class SignalStartAnimation : public Vabo::Signal::Base {
    public:
        SignalStartAnimation()
            : Base(Vabo::Signal::TypeIdOf<SignalStartAnimation>(), false)
        {
        }
        std::string Name() const override { return "FocusMenuButton::SignalStartAnimation"; }
    };

    explicit FocusMenuButton(TiXmlElement* element);
    ~FocusMenuButton() override;
    // Sets the captions' font size to 30 times the new height over the root
    // object's height, then resizes; false without a root object.
    bool SetSize(int width, int height) override;
};
