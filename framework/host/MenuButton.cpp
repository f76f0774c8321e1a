#include "framework/host/MenuButton.h"

#include <tinyxml.h>

#include <string>

#include "framework/core/HostInputSignals.h"
#include "framework/core/InputSignals.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/Registration.h"
#include "framework/core/ScreenManagerNotReady.h"
#include "framework/host/PopupMenuWindow.h"
#include "platform/Log.h"
#include "platform/TickRequest.h"

namespace Vabo {

namespace {

RegisterClass<MenuButton> menuButtonClass("Vabo::MenuButton", "$VABO/Objects/MenuButton/MenuButton.xml",
                                          [](TiXmlElement* element) -> GuiObject* { return new MenuButton(element); });

constexpr Platform::Milliseconds kHoverDelayMs = 250;

} // namespace

MenuButton::MenuButton(TiXmlElement* element)
    : ImageButton(element)
    , hoverStart_(Platform::NowMs())
{
    // The entry stays highlighted while its menu has the focus.
    SetKeepSelectionOnDeactivation(true);
    RegisterLoader<MenuButton>(element, this);
}

MenuButton::~MenuButton()
{
    DropPopup();
}

void MenuButton::DropPopup()
{
    if (!popup_)
        return;
    RemoveChild(popup_.get(), false);
    popup_.reset();
}

bool MenuButton::LoadFromXML(TiXmlElement* element)
{
    std::string name;
    isSubMenu_ = false;
    if (!ReadXmlAttribute(name, element, "Menu", false) && ReadXmlAttribute(name, element, "SubMenu", false))
        isSubMenu_ = true;
    if (!name.empty()) {
        // A reload replaces the menu: the old one leaves the button before the new one comes.
        // Its document leaves the document map with the button.
        DropPopup();
        if (TiXmlElement* menu = LoadOwnXML(name, element)) {
            popup_ = std::make_unique<PopupMenuWindow>(menu);
            AddChild(popup_.get(), false);
            if (!pressConnected_) {
                // The second press of a quick pair comes as a double click.
                AddSlot<Signal::LeftButtonDown>(&MenuButton::PressSlot, this);
                AddSlot<Signal::LeftButtonDblClk>(&MenuButton::PressSlot, this);
                pressConnected_ = true;
            }
        } else {
            Platform::Log("Vabo::MenuButton \"" + GetName() + "\" in " + XmlDocument::FileNameOf(element)
                          + ": its menu " + name + " cannot be loaded; the button has no menu");
        }
    }
    if (isSubMenu_ && !hoverConnected_) {
        AddScheduledTickSlot(&MenuButton::HoverTimerSlot, this);
        AddSlot<Signal::SelectObject>(&MenuButton::SelectedSlot, this);
        hoverConnected_ = true;
    }
    SetSize(GetSubtreeMaxRight(), GetSubtreeMaxBottom());
    return true;
}

void MenuButton::ShowMenu()
{
    if (!popup_)
        return;
    popup_->SetSize(popup_->GetSubtreeMaxRight(), popup_->GetSubtreeMaxBottom());
    popup_->UpdateLayout();
    if (!isSubMenu_) {
        popup_->SetPosition(GetWindowX(), GetWindowY() + GetHeight());
    } else {
        GuiObject* root = nullptr;
        try {
            root = GetRootObject();
        } catch (const ScreenManagerNotReady&) {
        }
        if (auto* parentMenu = dynamic_cast<PopupMenuWindow*>(root)) {
            popup_->SetOwnerObject(parentMenu);
            parentMenu->SetAttachedObject(popup_.get());
        }
        const int rootX = root ? root->GetX() : 0;
        const int rootY = root ? root->GetY() : 0;
        popup_->SetPosition(rootX + GetWindowX() + GetWidth(), rootY + GetWindowY());
    }
    popup_->Popup();
}

void MenuButton::PressSlot(Signal::Base*, GuiObject*)
{
    ShowMenu();
}

void MenuButton::HoverTimerSlot(Signal::Base*, GuiObject*)
{
    if (!popup_ || !IsSelected() || popup_->IsVisible())
        return;
    if (Platform::NowMs() - hoverStart_ > kHoverDelayMs)
        ShowMenu();
    else
        Platform::RequestTickAt(hoverStart_ + kHoverDelayMs + 1);
}

void MenuButton::SelectedSlot(Signal::Base*, GuiObject*)
{
    if (IsSelected())
        hoverStart_ = Platform::NowMs();
}

} // namespace Vabo
