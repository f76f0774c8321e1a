// A framework object that owns a host window: a grid layout of the objects its
// element creates, shown in a window of its own (application, child or popup),
// with a title, an optional outline cut from its rendering's alpha, a nesting
// modal loop, tooltip hover timing and the GUI builder's key bindings.
#pragma once

#include <memory>
#include <string>

#include "framework/core/Signal.h"
#include "framework/widgets/GridLayout.h"
#include "platform/Clock.h"

class TiXmlElement;
class XmlDocument;

namespace GdiplusGfxLayer {
class Region;
class WindowSurface;
} // namespace GdiplusGfxLayer

namespace Vabo {

class FocusRing;
class VaboWnd;

class Window : public GridLayout {
public:
    enum WindowType { Application = 0, Child = 1, Popup = 2 };

    // Sent to the window itself when it closes.
    class CloseSignal : public Signal::Base {
    public:
        explicit CloseSignal(Window* window = nullptr)
            : Base(Signal::TypeIdOf<CloseSignal>(), true)
            , window(window)
        {
        }
        std::string Name() const override { return "Vabo::Window::CloseSignal"; }
        Window* window;
    };

    // Sent to the window itself each time it is made visible.
    class VisibleSignal : public Signal::Base {
    public:
        explicit VisibleSignal(Window* window = nullptr)
            : Base(Signal::TypeIdOf<VisibleSignal>(), true)
            , window(window)
        {
        }
        std::string Name() const override { return "Vabo::Window::VisibleSignal"; }
        Window* window;
    };

    explicit Window(TiXmlElement* element);
    ~Window() override;

    bool SetPosition(int x, int y) override;
    bool SetSize(int width, int height) override;
    void SetVisible(bool visible) override;

    virtual void CloseSlot(Signal::Base* signal, GuiObject* object);
    virtual void ToggleVisibilitySlot(Signal::Base* signal, GuiObject* object);
    virtual void HideSlot(Signal::Base* signal, GuiObject* object);
    virtual void MinimizeSlot(Signal::Base* signal, GuiObject* object);
    virtual void MaxRestoreSlot(Signal::Base* signal, GuiObject* object);
    virtual void WindowSizedSlot(Signal::Base* signal, GuiObject* object);
    // Shows the window and runs a (nesting) modal loop until Close; input to the
    // owner's host window is dropped meanwhile. The owner may be null.
    virtual void DoModal(Window* owner);
    virtual void Close();
    virtual void Maximize();
    virtual void Minimize();
    virtual bool IsMinimized() const;
    virtual bool ArrangeIconic();
    virtual void Restore();
    // 0 arrow, 1 diagonal sizing arrow, 2 vertical sizing arrow; nothing without a host.
    virtual void SetCursor(int shape);
    virtual std::string GetTitle() const;
    virtual void SetTitle(const std::string& title);
    virtual bool IsMaximized() const;
    // Brings the window to the user: restored when minimised, then raised with
    // the keyboard focus.
    void BringForward();
    // Cuts the host window's outline from the alpha of the window's rendering, once
    // per size: a shown window's from its next frame, a hidden one's at once.
    virtual void UpdateShape();
    virtual void FollowVisibilitySlot(Signal::Base* signal, GuiObject* object);
    // Return or Space: presses the selected controls (the one Tab moved to, or
    // the one under the pointer), unless an edit box has the keyboard focus.
    virtual void ConfirmSlot(Signal::Base* signal, GuiObject* object);
    // Sends Activate to every selected object of the tree; false when none is.
    bool PressSelected();
    // The control the keys last moved to, which the ring marks while it holds
    // the selection; null for none.
    GuiObject* GetKeyboardStop() const;
    // The control Return presses while the keys and the pointer have selected
    // no control of the window's tab list (a dialog's default button): it is
    // selected and ringed each time the window shows, and again whenever the
    // selection leaves every such control, so that a key press never answers
    // a control that shows no mark.
    void SetDefaultStop(GuiObject* stop);
    void OnSelectObject(Signal::Base* signal, GuiObject* object) override;

    bool LoadFromXML(TiXmlElement* element);

    VaboWnd* GetHostWnd() const { return host_.get(); }
    WindowType GetWindowType() const { return type_; }
    bool IsModal() const { return modal_; }
    // Centres the host window on its screen and takes its new top-left as position.
    void CenterWindow();
    // Places the window centred on the owner's host window as it stands now
    // (wherever it was moved, however it was resized or maximised), moved as
    // little as needed to lie wholly on the owner's screen. Only the object's
    // place is set, counted from the owner's, as DoModal takes it: the host
    // window goes there when the modal loop shows it.
    void CenterOnOwner(const Window& owner);

protected:
    // Whether showing a popup hands it the keyboard focus (so that losing it
    // closes the popup); a tool tip leaves the focus where it is.
    void SetTakesFocus(bool takesFocus) { takesFocus_ = takesFocus; }
    void HoverResetSlot(Signal::Base* signal, GuiObject* object);
    void HoverMoveSlot(Signal::Base* signal, GuiObject* object);
    void HoverTimerSlot(Signal::Base* signal, GuiObject* object);
    void HostMovedSlot(Signal::Base* signal, GuiObject* object);
    // The ring follows the control that Tab moved the selection to.
    void FocusRingSlot(Signal::Base* signal, GuiObject* object);

private:
    bool CreateHost(TiXmlElement* element, int x, int y, int width, int height);
    void AddBuilderKeyBindings();
    void AddDialogKeyBindings();
    GuiObject* HeldToolTip() const;
    void HoldToolTip(GuiObject* object);
    void HideHeldToolTip();
    bool CursorInWindow(int& x, int& y) const;
    // Selects and rings the default stop; unless asked always, only when no
    // control of the tab list holds the selection.
    void MarkDefaultStop(bool always);
    // The outline from the frame drawn (when given and it holds the tree
    // alone and whole) or else from a drawing of the tree.
    void CutOutline(const GdiplusGfxLayer::WindowSurface* frame, const GdiplusGfxLayer::Region* drawn);

    bool shapeBuilt_ = false;
    bool takesFocus_ = true;
    bool modal_ = false;
    std::unique_ptr<VaboWnd> host_;
    std::unique_ptr<FocusRing> focusRing_;
    std::string title_;
    WindowType type_ = Application;
    bool shaped_ = false;
    Platform::Milliseconds hoverStart_;
    bool hoverArmed_ = false;
    int hoverX_ = 0;
    int hoverY_ = 0;
    GuiObject* toolTipObject_ = nullptr;
    std::weak_ptr<void> toolTipWatch_;
    std::weak_ptr<XmlDocument> ownerDocument_;
    GuiObject* defaultStop_ = nullptr;
    std::weak_ptr<void> defaultWatch_;
    bool markingDefault_ = false;
};

} // namespace Vabo
