#pragma once
// A captioned choice button that shows its own name until a screen sets
// its caption.
#include "app/CaptionButton.h"
#include "framework/core/Signal.h"

class MenuButton : public CaptionButton {
public:
    // Restarts the button's animation; raised by name from the skin.
    class SignalStartAnimation : public Vabo::Signal::Base {
    public:
        SignalStartAnimation()
            : Base(Vabo::Signal::TypeIdOf<SignalStartAnimation>(), false)
        {
        }
        std::string Name() const override { return "MenuButton::SignalStartAnimation"; }
    };

    explicit MenuButton(TiXmlElement* element);
    ~MenuButton() override;
};
