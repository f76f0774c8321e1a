#pragma once
// The tuner screen of the main window: a grid layout of the skin's objects
// whose title-row buttons open the About window, minimise the main window and
// close it. Switching to the other screen is a connection in the skin.
#include "framework/widgets/GridLayout.h"

class TunerLayout : public Vabo::GridLayout {
public:
    explicit TunerLayout(TiXmlElement* element);
    ~TunerLayout() override;

    void HelpActiveSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void CloseClickedSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    void MinimiseClickedSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);
    // Follows the screen's visibility, which is kept as "TunerVisible".
    void VisibilityChangeSlot(Vabo::Signal::Base* signal, Vabo::GuiObject* object);

private:
    bool tunerVisible_ = true;
};
