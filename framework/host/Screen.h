// The root object of one named screen of a screen manager: it follows the host
// window's size, starts its animations and selects its first tab object when
// activated, and offers the back-stack slots to skins.
#pragma once

#include "framework/widgets/GridLayout.h"

namespace Vabo {

class Screen : public GridLayout {
public:
    explicit Screen(TiXmlElement* element);
    ~Screen() override;

    // The screen's own loader: its objects are the grid layout's; it only marks
    // the object as a screen.
    bool LoadFromXML(TiXmlElement* element);

    // Named slot "Vabo::Screen::SlotResetBackStack": the back stack keeps only its
    // newest screen.
    virtual void SlotResetBackStack(Signal::Base* signal, GuiObject* object);
    // Named slot "Vabo::Screen::SlotScreenBack": back to the previous screen.
    virtual void SlotScreenBack(Signal::Base* signal, GuiObject* object);
    virtual void WindowSizedSlot(Signal::Base* signal, GuiObject* object);
    virtual void ScreenActivationSlot(Signal::Base* signal, GuiObject* object);
};

} // namespace Vabo
