// A two-state button: shows its "Up" object or its "Down" object and swaps
// them on every click. The application reads and sets the state; a skin may
// swap it through the named slot "Vabo::ToggleButton::SlotToggle".
#pragma once

#include <memory>

#include "framework/core/GuiObject.h"

namespace Vabo {

class ToggleButton : public GuiObject {
public:
    // Throws XMLLoadSaveException (after the XML error naming the element) when
    // "Up" or "Down" is missing or cannot be built.
    explicit ToggleButton(TiXmlElement* element);
    ~ToggleButton() override;

    // Both state objects follow the button's size, the hidden one too.
    bool SetSize(int width, int height) override;

    // Swaps the state without a repaint of its own (the skin's slot).
    void SlotToggle(Signal::Base* signal, GuiObject* object);
    // Swaps the state and repaints: what a click does.
    void ToggleAndRedraw(Signal::Base* signal, GuiObject* object);

    int GetState() const { return state_; }
    int GetPreviousState() const { return previousState_; }
    // Sets the state (0 up, 1 down) without a repaint of its own.
    void SetState(int state);
    void ShowState();

    GuiObject* GetUp() const { return up_.get(); }
    GuiObject* GetDown() const { return down_.get(); }

    bool LoadFromXML(TiXmlElement* element);

private:
    int state_ = 0;
    int previousState_ = 0;
    std::shared_ptr<GuiObject> up_;
    std::shared_ptr<GuiObject> down_;
    bool loaded_ = false;
};

} // namespace Vabo
