// The host window behind every top-level Vabo window: one native window of
// ours, its screen manager and its back-buffered window surface. The event
// loop hands it the window's inputs and clock ticks; each goes to the screen
// manager, and a frame is drawn only when that reports something dirty. It
// also offers the window operations the Window class needs (size, position,
// visibility, cursor, minimise/maximise/restore, input off and on, modal loop).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/host/InputRouter.h"
#include "framework/host/ScreenManager.h"
#include "platform/EventLoop.h"
#include "platform/NativeWindow.h"
#include "platform/Rect.h"

class TiXmlElement;

namespace GdiplusGfxLayer {
class WindowSurface;
}

namespace Vabo {

class VaboWnd : public Platform::WindowClient, private FramePresenter {
public:
    using Kind = Platform::NativeWindow::Kind;

    // With an element, the screen manager becomes the screen-manager context
    // of the element's document, so everything built from it finds it.
    explicit VaboWnd(TiXmlElement* element = nullptr);
    ~VaboWnd() override;
    VaboWnd(const VaboWnd&) = delete;
    VaboWnd& operator=(const VaboWnd&) = delete;

    // Creates the native window, hidden. For a Child or Popup, (x, y) is
    // relative to the parent's content; a Child lies inside its parent (which
    // it needs) and takes input only while the parent does. A resizable window
    // can be maximised and made full screen by the window manager. False
    // (logged) on failure.
    bool Create(Kind kind, const std::string& title, int x, int y, int width, int height, VaboWnd* parent,
                bool resizable = false);
    bool IsCreated() const { return window_ != nullptr; }
    // Starts the GUI clock (a tick about every 10 ms) and the loop's delivery.
    void StartHost();
    // Destroys the native window; the screen manager forgets its base root first.
    void DestroyWindow();

    ScreenManager& GetScreenManager() { return screens_; }
    // The screen manager learns that the window is active, without a redraw.
    void SetActive();
    // Draws what is dirty and shows it; creates the window surface on first use.
    bool Redraw();

    bool Resize(int width, int height);
    // The smallest size the window manager may give the window.
    void SetMinimumSize(int width, int height);
    // Makes this the application's main window until it is destroyed: fonts
    // sized in percent without a reference object take that share of its
    // client area.
    void MakeMainWindow();
    // Application windows go to (x, y) on the screen; Child windows to (x, y)
    // of the parent's content; Popup windows to (x, y) from the parent's
    // top-left, kept inside the monitor's work area.
    bool MoveTo(int x, int y);
    void Hide();
    void Show();
    // 0 arrow, 1 diagonal sizing arrow, 2 vertical sizing arrow; others are ignored.
    void SetCursorShape(int shape);
    void Maximize();
    void Minimize();
    void Restore();
    bool IsIconic() const;
    bool IsZoomed() const;
    bool IsWindowVisible() const;
    void SetFocus();
    bool HasFocus() const;
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    bool SetIcon(const std::string& fileName);
    // The pointer's last position over the window, from the window's own
    // events; false when the pointer is elsewhere.
    bool PointerInWindow(int& x, int& y) const;
    // Screen rectangle of the window.
    Platform::Rect GetWindowRect() const;
    // Screen rectangle of the screens inside the window (less any margins).
    Platform::Rect GetContentScreenRect() const;
    // {0, 0, width, height}.
    Platform::Rect GetClientRect() const;
    // Centres the window on its parent, or on its monitor's work area.
    void CenterWindow();
    // The parent host, null when there is none or it was destroyed.
    VaboWnd* GetParent() const { return parentWatch_.expired() ? nullptr : parent_; }
    // Expires when this host is destroyed.
    std::weak_ptr<void> Watch() const { return life_; }

    // Ties this window to its owner: the window manager keeps it above the
    // owner, and while this window runs a modal loop the owner hands it the
    // keyboard (bringing it forward) whenever the owner is activated.
    void SetOwner(VaboWnd& owner);

    // Input off and on; counted, so nested modal loops end in the right state.
    void EnableWindow(bool enable);
    bool IsWindowEnabled() const;
    // Serves every window until EndModalLoop; returns its result.
    int RunModalLoop();
    void EndModalLoop(int result);
    bool IsInModalLoop() const;

    // What a close request of the window manager does, and the window's
    // destruction by another client; by default it ends this window's modal
    // loop, when one runs. The main window destroyed ends every modal loop.
    void SetCloseHandler(std::function<void()> handler) { closeHandler_ = std::move(handler); }

    // Runs a call on the GUI thread at the loop's next pass; safe from any thread.
    static bool PostCall(std::function<void()> call);

    // The next frame composed is handed to the call before it is presented
    // (with the region drawn anew); a later call replaces one still waiting.
    using FrameCall = std::function<void(const GdiplusGfxLayer::WindowSurface&, const GdiplusGfxLayer::Region&)>;
    void OnNextFrame(FrameCall call) { nextFrame_ = std::move(call); }

    Platform::NativeWindow* GetNativeWindow() const { return window_.get(); }
    GdiplusGfxLayer::WindowSurface* GetWindowSurface() const { return surface_.get(); }

    // Platform::WindowClient
    void OnInput(const Platform::HostInput& input) override;
    void OnTick() override;

private:
    void GetClientSize(int& width, int& height) const override;
    void Present(GdiplusGfxLayer::WindowSurface& surface, const GdiplusGfxLayer::Region& region) override;
    void FollowDraggedPointer();
    // Brings forward the newest owned window that runs a modal loop; false when none does.
    bool BringModalForward();

    ScreenManager screens_;
    InputRouter router_;
    std::unique_ptr<Platform::NativeWindow> window_;
    std::unique_ptr<GdiplusGfxLayer::WindowSurface> surface_;
    VaboWnd* parent_ = nullptr;
    std::weak_ptr<void> parentWatch_;
    std::vector<std::pair<VaboWnd*, std::weak_ptr<void>>> owned_;
    std::function<void()> closeHandler_;
    FrameCall nextFrame_;
    bool leftButtonHeld_ = false;
    bool mainWindow_ = false;
    Point lastPointer_; // screen position of the last pointer motion
    std::shared_ptr<char> life_ = std::make_shared<char>(0);
};

} // namespace Vabo
