#pragma once
// A captioned choice button whose caption size follows the width of the
// window it stands in; it shows its own name until a screen sets its caption.
#include "app/CaptionButton.h"
#include "framework/core/Signal.h"

class ComboMenuButton : public CaptionButton {
public:
    // Restarts the button's animation; raised by name from the skin.
    class SignalStartAnimation : public Vabo::Signal::Base {
    public:
        SignalStartAnimation()
            : Base(Vabo::Signal::TypeIdOf<SignalStartAnimation>(), false)
        {
        }
        std::string Name() const override { return "ComboMenuButton::SignalStartAnimation"; }
    };

    explicit ComboMenuButton(TiXmlElement* element);
    ~ComboMenuButton() override;
};
