// An image button that owns a popup menu built from its own document: a press
// opens the menu below the button and a second press closes it. Inside a popup
// menu the same button is a sub-menu entry: its menu opens to the right of the
// entry, on a press or once the entry has stayed selected for more than a
// quarter of a second.
#pragma once

#include <memory>

#include "framework/widgets/ImageButton.h"
#include "platform/Clock.h"

namespace Vabo {

class PopupMenuWindow;

class MenuButton : public ImageButton {
public:
    explicit MenuButton(TiXmlElement* element);
    ~MenuButton() override;

    // Places the menu (below the button, or beside a sub-menu entry) and shows
    // it when hidden, hides it when shown; nothing without a menu.
    void ShowMenu();

    void PressSlot(Signal::Base* signal, GuiObject* object);
    void HoverTimerSlot(Signal::Base* signal, GuiObject* object);
    void SelectedSlot(Signal::Base* signal, GuiObject* object);

    bool IsSubMenu() const { return isSubMenu_; }
    // The menu; null when the element names none or its document cannot be loaded.
    PopupMenuWindow* GetPopup() const { return popup_.get(); }

    bool LoadFromXML(TiXmlElement* element);

private:
    void DropPopup();

    bool isSubMenu_ = false;
    std::unique_ptr<PopupMenuWindow> popup_;
    Platform::Milliseconds hoverStart_;
    bool pressConnected_ = false;
    bool hoverConnected_ = false;
};

} // namespace Vabo
