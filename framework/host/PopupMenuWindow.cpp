#include "framework/host/PopupMenuWindow.h"

#include <tinyxml.h>

#include "framework/core/InputSignals.h"
#include "framework/core/KeyCommandSignals.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/Registration.h"
#include "framework/core/HostInputSignals.h"
#include "framework/host/ScreenManager.h"
#include "framework/host/VaboWnd.h"
#include "platform/Display.h"
#include "platform/HostInput.h"

namespace Vabo {

namespace {

RegisterClass<PopupMenuWindow> popupClass("Vabo::PopupMenuWindow", "$VABO/Objects/PopupMenuWindow/PopupMenuWindow.xml",
                                          [](TiXmlElement* element) -> GuiObject* {
                                              return new PopupMenuWindow(element);
                                          });
RegisterClassSlot<PopupMenuWindow, Signal::Base> popupSlot("Vabo::PopupMenuWindow::SlotPopup",
                                                           &PopupMenuWindow::SlotPopup);
RegisterClassSlot<PopupMenuWindow, Signal::Base> popupAtCursorSlot("Vabo::PopupMenuWindow::SlotPopupAtCursor",
                                                                   &PopupMenuWindow::SlotPopupAtCursor);

// Whatever the skin says, a popup menu is built as a popup window.
TiXmlElement* AsPopup(TiXmlElement* element)
{
    if (element)
        element->SetAttribute("Type", "Popup");
    return element;
}

// Up and Down move the selection over the popup's items.
constexpr int kSelectUp = 2;
constexpr int kSelectDown = 3;

} // namespace

PopupMenuWindow::PopupMenuWindow(TiXmlElement* element)
    : Window(AsPopup(element))
{
    if (GetWindowType() != Window::Popup) {
        ThrowXmlError(element, "Trying to create PopupMenu with window of type != Popup");
    }
    SetUnselectable(0);
    AddSlot<Signal::WindowActivated>(&PopupMenuWindow::FocusSlot, this);
    AddSlot<Signal::LeftButtonUp>(&PopupMenuWindow::EmptySlot, this);
    AddSlot<Signal::RightButtonUp>(&Window::HideSlot, this);
    AddSlot<Signal::Activate>(&PopupMenuWindow::ActivateSlot, this);
    AddSlot<Signal::Cancel>(&PopupMenuWindow::CancelSlot, this);
    if (VaboWnd* host = GetHostWnd()) {
        ScreenManager& screens = host->GetScreenManager();
        screens.AddKeyBinding(Signal::KeyPress(Platform::kVirtualKeyFlag | Platform::VirtualKey::Up),
                              std::make_shared<Signal::SelectNextObject>(kSelectUp));
        screens.AddKeyBinding(Signal::KeyPress(Platform::kVirtualKeyFlag | Platform::VirtualKey::Down),
                              std::make_shared<Signal::SelectNextObject>(kSelectDown));
    }
    Window::SetVisible(false);
}

PopupMenuWindow::~PopupMenuWindow() = default;

bool PopupMenuWindow::SetPosition(int x, int y)
{
    popupPoint_ = Point{x, y};
    return Window::SetPosition(x, y);
}

void PopupMenuWindow::FocusSlot(Signal::Base* signal, GuiObject*)
{
    auto* activated = static_cast<Signal::WindowActivated*>(signal);
    if (activated->deactivated && !GetAttachedObject() && !keepOpen_ && IsVisible()) {
        ClosePopup();
    }
}

void PopupMenuWindow::EmptySlot(Signal::Base*, GuiObject*) { }

void PopupMenuWindow::CancelSlot(Signal::Base*, GuiObject*)
{
    if (IsVisible())
        ClosePopup();
}

void PopupMenuWindow::SlotPopup(Signal::Base*, GuiObject*)
{
    Popup();
}

void PopupMenuWindow::SlotPopupAtCursor(Signal::Base*, GuiObject*)
{
    VaboWnd* host = GetHostWnd();
    VaboWnd* owner = host ? host->GetParent() : nullptr;
    if (!owner)
        return;
    // Popup positions count from the owner window's top-left.
    Point cursor;
    Platform::CursorScreenPosition(cursor.x, cursor.y);
    const Platform::Rect origin = owner->GetContentScreenRect();
    PopupAt(cursor.x - origin.x, cursor.y - origin.y);
}

void PopupMenuWindow::ActivateSlot(Signal::Base*, GuiObject*)
{
    if (!GetAttachedObject())
        ClosePopup();
}

void PopupMenuWindow::Popup()
{
    if (IsVisible()) {
        ClosePopup();
        return;
    }
    Window::SetPosition(popupPoint_.x, popupPoint_.y);
    Window::SetVisible(true);
    MarkOpeningEntry();
    StartAnimation();
}

void PopupMenuWindow::MarkOpeningEntry()
{
    // The keys start from the first entry: selecting it selects the popup
    // too, and Up and Down reach the popup's tab list through that selection.
    if (GuiObject* first = FindTabObjectAt(0, 0))
        first->TabSelect();
}

void PopupMenuWindow::PopupAt(int x, int y)
{
    Window::SetPosition(x, y);
    Window::WindowSizedSlot(nullptr, this);
    Window::SetVisible(true);
    MarkOpeningEntry();
    StartAnimation();
}

void PopupMenuWindow::SetFlag(bool keepOpen)
{
    keepOpen_ = keepOpen;
}

void PopupMenuWindow::ClosePopup()
{
    attached_ = nullptr;
    attachedWatch_.reset();
    if (PopupMenuWindow* owner = GetOwnerObject()) {
        if (!owner->IsWindowActive()) {
            owner->ClosePopup();
            SetOwnerObject(nullptr);
        }
    }
    Window::SetVisible(false);
    ClearSelection();
}

void PopupMenuWindow::SetOwnerObject(PopupMenuWindow* owner)
{
    owner_ = owner;
    ownerWatch_ = owner ? owner->Watch() : std::weak_ptr<void>();
}

void PopupMenuWindow::SetAttachedObject(GuiObject* attached)
{
    if (GuiObject* previous = GetAttachedObject())
        previous->SetVisible(false);
    attached_ = attached;
    attachedWatch_ = attached ? attached->Watch() : std::weak_ptr<void>();
}

PopupMenuWindow* PopupMenuWindow::GetOwnerObject() const
{
    return ownerWatch_.expired() ? nullptr : owner_;
}

GuiObject* PopupMenuWindow::GetAttachedObject() const
{
    return attachedWatch_.expired() ? nullptr : attached_;
}

} // namespace Vabo
