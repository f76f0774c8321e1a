// A borderless, always-on-top popup owned by its document's application window,
// for drop-down and context menus: shown at a stored point or at the cursor,
// closed when it loses the focus or an item is activated, closing with it the
// chain of popups it was opened from.
#pragma once

#include <memory>

#include "framework/host/Window.h"

namespace Vabo {

class PopupMenuWindow : public Window {
public:
    explicit PopupMenuWindow(TiXmlElement* element);
    ~PopupMenuWindow() override;

    // Stores the point where Popup shows the window, then moves it there.
    bool SetPosition(int x, int y) override;
    // A release over an item counts as a click although the press fell elsewhere.
    bool ClickRequiresPress() const override { return false; }

    virtual void FocusSlot(Signal::Base* signal, GuiObject* object);
    // Escape closes the list without choosing.
    void CancelSlot(Signal::Base* signal, GuiObject* object);
    virtual void EmptySlot(Signal::Base* signal, GuiObject* object);
    virtual void SlotPopup(Signal::Base* signal, GuiObject* object);
    virtual void SlotPopupAtCursor(Signal::Base* signal, GuiObject* object);
    virtual void ActivateSlot(Signal::Base* signal, GuiObject* object);
    // Shows the window at its stored point when hidden, closes it when shown.
    virtual void Popup();
    // Shows the window at (x, y) relative to its owner window.
    virtual void PopupAt(int x, int y);
    // When set, losing the focus does not close the popup.
    virtual void SetFlag(bool keepOpen);

    void ClosePopup();
    // The popup this one was opened from; closed with it when not active.
    void SetOwnerObject(PopupMenuWindow* owner);
    // An object shown together with the popup (a previous one is hidden); while
    // one is attached, the popup stays open on focus loss and activation.
    void SetAttachedObject(GuiObject* attached);

    PopupMenuWindow* GetOwnerObject() const;
    GuiObject* GetAttachedObject() const;
    Point GetPopupPoint() const { return popupPoint_; }

protected:
    // Marks the entry the keys start from when the popup opens: the first.
    virtual void MarkOpeningEntry();

private:
    // Owner and attached object may be destroyed while this popup lives; their
    // watches tell.
    Point popupPoint_;
    bool keepOpen_ = false;
    GuiObject* attached_ = nullptr;
    std::weak_ptr<void> attachedWatch_;
    PopupMenuWindow* owner_ = nullptr;
    std::weak_ptr<void> ownerWatch_;
};

} // namespace Vabo
