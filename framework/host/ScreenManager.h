// The per-window hub between the host window and the object tree: the
// window's named screens (each a root object built from XML on first use),
// the back stack of screen names, the base root that stands in when no screen
// is active, overlays, the keyboard focus object, the dirty region and the
// GUI clock. It turns every input of the host window into a framework signal
// sent into the active tree, and composes frames, all under the render lock.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/drawing/Color.h"
#include "framework/drawing/Geometry.h"
#include "framework/core/ReceiverCache.h"
#include "framework/core/ScreenManagerInterface.h"
#include "framework/core/XMLLoadSave.h"
#include "framework/host/FramePresenter.h"
#include "framework/drawing/Region.h"
#include "platform/Clock.h"

namespace GdiplusGfxLayer {
class WindowSurface;
}

namespace Vabo {

class GuiObject;

namespace Signal {
class Base;
class KeyPress;
} // namespace Signal

class ScreenManager : public XMLLoadSave, public ScreenManagerInterface {
public:
    struct ScreenEntry {
        std::string name;
        GuiObject* root = nullptr;
        bool DestroyOnDeactivate = false;
        // Left while DestroyOnDeactivate: the root is destroyed on the next tick.
        bool closed = false;
        // Who the factory keeps the root under, and whether the root still lives.
        GuiObject* owner = nullptr;
        std::weak_ptr<void> rootWatch;
    };

    ScreenManager();
    ~ScreenManager() override;
    ScreenManager(const ScreenManager&) = delete;
    ScreenManager& operator=(const ScreenManager&) = delete;

    // Accessors.
    bool GetActiveScreenName(std::string& name) const;
    // The active screen's root when a screen is active (may be null), else the base root.
    GuiObject* GetActiveRoot() const;
    void SetBaseRoot(GuiObject* root);
    GuiObject* GetBaseRoot() const override;
    void ClearBaseRoot();
    bool IsFocusObject(const GuiObject* object) const override;
    GuiObject* GetFocusObject() const;
    bool IsLeftButtonHeld() const override { return leftButtonHeld_; }
    bool IsRightButtonHeld() const { return rightButtonHeld_; }
    void SetLeftButtonHeld(bool held) override { leftButtonHeld_ = held; }
    void SetRightButtonHeld(bool held) override { rightButtonHeld_ = held; }
    // Asks for a repaint of the whole window; true.
    bool InvalidateAll();
    // Stores the size new screen roots get, without telling anyone.
    void SetWindowSize(int width, int height);
    // Keeps the screens at this aspect (height per width; 0 for none): given a
    // window of another shape (maximised, full screen), they get the largest
    // size of the aspect that fits, centred, and the rest of the window is
    // filled with the margin colour.
    void KeepAspect(float heightPerWidth, const GdiplusGfxLayer::Color& margin);
    // Where the screens lie in the window: the whole window unless kept at an aspect.
    const Rect& GetContentFrame() const { return contentFrame_; }
    // Binds a key code (process-wide, the first binding of a code wins) to a
    // signal raised through the target tree when the key is pressed.
    void AddKeyBinding(const Signal::KeyPress& pattern, std::shared_ptr<Signal::Base> signal);
    const std::vector<std::string>& GetBackStack() const { return backStack_; }
    const ScreenEntry* FindScreen(const std::string& name) const;

    // Screens.
    void AddScreen(const std::string& screenName, bool destroyOnDeactivate, const std::string& objectName,
                   const std::string& fileName) override;
    void ActivateScreen(const std::string& name, bool push) override;
    void ScreenBack();
    void ResetBackStack();
    void SetFocusObject(GuiObject* object) override;
    void ReturnKeyboardFocus() override;
    // What ReturnKeyboardFocus does: set by the host window.
    void SetKeyboardFocusReturner(std::function<void()> returner) { focusReturner_ = std::move(returner); }

    // Overlays: drawn over the target (themselves only) and ticked by the clock.
    void AddOverlay(GuiObject* overlay);
    void RemoveOverlay(GuiObject* overlay);

    // Input from the host window; each returns whether something must be drawn.
    bool WindowSized(int width, int height);
    bool SetWindowActive(bool focused);
    bool MouseMove(const Point& point, bool hostFocused);
    bool LeftButtonDown(const Point& point);
    bool LeftButtonUp(const Point& point);
    bool RightButtonDown(const Point& point);
    bool RightButtonUp(const Point& point);
    bool LeftButtonDblClk(const Point& point);
    bool RightButtonDblClk(const Point& point);
    bool MouseWheel(const Point& point, int delta);
    bool KeyPress(std::uint32_t code);
    bool DropFile(const std::string& fileName, const Point& point);
    // One tick of the GUI clock: destroys the roots of closed screens, then
    // sends the elapsed milliseconds to the target and the overlays.
    bool Timer();
    // Sends a signal to the target, or to the base root and every screen root;
    // nothing while the GUI builder holds input back.
    void Broadcast(Signal::Base& signal, bool allScreens);

    // Drawing.
    void InvalidateRect(const Rect& rect) override;
    bool IsDirty() const { return dirty_; }
    bool IsFullRedraw() const { return fullRedraw_; }
    const GdiplusGfxLayer::Region& GetDirtyRegion() const { return dirtyRegion_; }
    // Draws the dirty part of the target and the overlays into the surface's
    // back buffer and shows that part; false when nothing was drawn.
    bool Render(GdiplusGfxLayer::WindowSurface& surface, FramePresenter& presenter);

private:
    using KeyBinding = std::pair<std::uint32_t, std::shared_ptr<Signal::Base>>;

    // The GUI-builder mode: no input reaches the trees.
    static bool InputHeldBack();
    GuiObject* Target() const;
    bool HasVisibleTarget() const;
    void RememberSelection();
    void RestoreSelection();
    // A press outside the object holding the keyboard focus takes it away.
    void DropFocusOutside(const Point& point);
    GuiObject* RootOf(const ScreenEntry& entry) const;
    void Send(GuiObject* object, Signal::Base& signal, bool skipDelivery);
    void CreateScreenRoot(const std::string& name);
    void ReleaseClosedScreens();

    struct ReplacedRoot {
        GuiObject* owner;
        GuiObject* root;
        std::weak_ptr<void> watch;
    };

    std::vector<std::string> backStack_;
    std::map<std::string, ScreenEntry> screens_;
    std::map<std::string, std::pair<std::string, std::string>> registrations_;
    ScreenEntry* active_ = nullptr;
    std::vector<ReplacedRoot> replacedRoots_;
    std::vector<std::pair<GuiObject*, std::weak_ptr<void>>> overlays_;
    ReceiverCache tickReceivers_;
    GuiObject* baseRoot_ = nullptr;
    std::weak_ptr<void> baseRootWatch_;
    bool leftButtonHeld_ = false;
    bool rightButtonHeld_ = false;
    int windowWidth_ = 0;
    int windowHeight_ = 0;
    // The window was sized while a screen was shown: the base root is told
    // when it is shown again.
    bool baseMissedSize_ = false;
    Platform::Milliseconds startClock_;
    GdiplusGfxLayer::Region dirtyRegion_;
    bool dirty_ = false;
    // Within Timer: what becomes dirty is drawn when the tick ends.
    bool ticking_ = false;
    bool fullRedraw_ = false;
    GuiObject* focusObject_ = nullptr;
    std::weak_ptr<void> focusWatch_;
    float aspect_ = 0.0f;
    GdiplusGfxLayer::Color margin_;
    Rect contentFrame_;
    std::function<void()> focusReturner_;
    // The selection path the window had when it lost the focus (which drops
    // it), from the root down, given back when the focus returns.
    std::vector<std::pair<GuiObject*, std::weak_ptr<void>>> selectionBeforeDeactivation_;
};

} // namespace Vabo
