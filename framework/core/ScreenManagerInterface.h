#pragma once
// What an object tree asks of the screen manager that draws and feeds it. The host
// window's ScreenManager implements it; tests hand in small fakes.

#include <memory>
#include <string>

#include "framework/drawing/Geometry.h"
#include "framework/core/LifeToken.h"

namespace Vabo {

class GuiObject;

class ScreenManagerInterface {
public:
    ScreenManagerInterface() = default;
    ScreenManagerInterface(const ScreenManagerInterface&) = delete;
    ScreenManagerInterface& operator=(const ScreenManagerInterface&) = delete;
    virtual ~ScreenManagerInterface();

    // Marks a rectangle of the window (window frame) for repainting.
    virtual void InvalidateRect(const Rect& rect) = 0;
    // Makes the object (or nobody, for null) the receiver of key presses.
    virtual void SetFocusObject(GuiObject* object) = 0;
    // The window's own object tree, the target when no screen is active; may be null.
    virtual GuiObject* GetBaseRoot() const = 0;
    virtual void SetLeftButtonHeld(bool held) = 0;
    virtual void SetRightButtonHeld(bool held) = 0;
    // Whether the left button went down in this window and is still held (an
    // edit box's drag selection); false for a screen manager that does not track it.
    virtual bool IsLeftButtonHeld() const;
    // Whether the object receives the key presses; false for a screen manager
    // that keeps no focus.
    virtual bool IsFocusObject(const GuiObject* object) const;
    // Activates the named screen, putting its name on the back stack when push is set.
    virtual void ActivateScreen(const std::string& name, bool push) = 0;
    // Registers a screen that a skin's "CreateScreen" declares: its root is
    // the object of that name in the file, built when the screen is first
    // shown. A screen manager that keeps no screens logs the request.
    virtual void AddScreen(const std::string& screenName, bool destroyOnDeactivate, const std::string& objectName,
                           const std::string& fileName);
    // Gives the keyboard focus back to the host window (a tooltip popup may have taken it).
    virtual void ReturnKeyboardFocus() = 0;

    // Expires when this screen manager is destroyed; objects and slots that keep a
    // pointer to it watch this instead of trusting the pointer.
    std::weak_ptr<void> Watch() const { return life_.Watch(); }

private:
    LifeToken life_;
};

} // namespace Vabo
