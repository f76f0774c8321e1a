#include "framework/host/VaboWnd.h"

#include <tinyxml.h>

#include <algorithm>

#include "framework/core/XmlDocument.h"
#include "framework/drawing/Font.h"
#include "framework/host/WindowSurface.h"
#include "platform/Cursor.h"
#include "platform/Display.h"
#include "platform/Log.h"
#include "platform/TickRequest.h"

namespace Vabo {

VaboWnd::VaboWnd(TiXmlElement* element)
    : router_(screens_)
{
    if (element && element->GetDocument())
        XmlDocument::SetScreenManager(element->GetDocument(), &screens_);
    // Only the focus comes back: raising the window would cover the tooltip
    // that took the focus when it was shown.
    screens_.SetKeyboardFocusReturner([this] {
        if (window_)
            window_->TakeInputFocus();
    });
}

VaboWnd::~VaboWnd()
{
    DestroyWindow();
}

bool VaboWnd::Create(Kind kind, const std::string& title, int x, int y, int width, int height, VaboWnd* parent,
                     bool resizable)
{
    if (window_) {
        Platform::Log("VaboWnd::Create - the window \"" + title + "\" exists already");
        return false;
    }
    parent_ = parent;
    parentWatch_ = parent ? parent->Watch() : std::weak_ptr<void>();
    Platform::NativeWindow::Options options;
    options.kind = kind;
    options.title = title;
    options.x = x;
    options.y = y;
    if (kind == Kind::Child) {
        // A child lies in its parent's client area, over the parent's screens.
        if (!parent || !parent->IsCreated()) {
            Platform::Log("VaboWnd::Create - a child window needs a parent window");
            return false;
        }
        options.parent = parent->window_.get();
        const Rect& content = parent->screens_.GetContentFrame();
        options.x += content.x;
        options.y += content.y;
    } else if (kind == Kind::Popup && parent && parent->IsCreated()) {
        const Platform::Rect frame = parent->GetContentScreenRect();
        options.x += frame.x;
        options.y += frame.y;
    }
    // The window manager may then maximise it or make it full screen.
    options.resizable = resizable;
    options.width = width;
    options.height = height;
    window_ = Platform::NativeWindow::Create(options);
    if (!window_)
        return false;
    // A child lies inside its parent; a popup is tied to it.
    if (kind == Kind::Popup && parent && parent->IsCreated())
        SetOwner(*parent);
    screens_.SetWindowSize(width, height);
    Platform::EventLoop::Instance().Attach(window_->Id(), *this);
    return true;
}

void VaboWnd::StartHost()
{
    if (window_)
        Platform::EventLoop::Instance().StartTimer(window_->Id());
}

void VaboWnd::MakeMainWindow()
{
    if (!window_)
        return;
    mainWindow_ = true;
    GdiplusGfxLayer::SetMainWindowSizeSource([this](int& width, int& height) {
        GetClientSize(width, height);
        return true;
    });
}

void VaboWnd::DestroyWindow()
{
    if (!window_)
        return;
    if (mainWindow_) {
        GdiplusGfxLayer::SetMainWindowSizeSource(nullptr);
        mainWindow_ = false;
    }
    screens_.ClearBaseRoot();
    nextFrame_ = nullptr;
    Platform::EventLoop::Instance().Detach(window_->Id());
    surface_.reset();
    window_.reset();
}

void VaboWnd::SetActive()
{
    screens_.SetWindowActive(true);
}

bool VaboWnd::Redraw()
{
    // Minimised, only the title shows: what changes meanwhile waits in the
    // dirty region, and the window is drawn whole when it comes back.
    if (!window_ || IsIconic())
        return false;
    if (!surface_)
        surface_.reset(new GdiplusGfxLayer::WindowSurface(*this));
    return screens_.Render(*surface_, *this);
}

void VaboWnd::GetClientSize(int& width, int& height) const
{
    const Platform::Rect r = GetWindowRect();
    width = r.width;
    height = r.height;
}

void VaboWnd::Present(GdiplusGfxLayer::WindowSurface& surface, const GdiplusGfxLayer::Region& region)
{
    if (!window_)
        return;
    if (nextFrame_) {
        const FrameCall call = std::move(nextFrame_);
        nextFrame_ = nullptr;
        call(surface, region);
    }
    const cairo_region_t* dirty = region.Get();
    std::vector<Platform::Rect> rects;
    const int count = cairo_region_num_rectangles(dirty);
    for (int i = 0; i < count; ++i) {
        cairo_rectangle_int_t r;
        cairo_region_get_rectangle(dirty, i, &r);
        rects.push_back(Platform::Rect{r.x, r.y, r.width, r.height});
    }
    window_->Present(surface.GetBackBuffer().GetSurface(), rects);
}

bool VaboWnd::Resize(int width, int height)
{
    if (!window_)
        return false;
    window_->Resize(width, height);
    return true;
}

void VaboWnd::SetMinimumSize(int width, int height)
{
    if (window_)
        window_->SetMinimumSize(width, height);
}

bool VaboWnd::MoveTo(int x, int y)
{
    if (!window_)
        return false;
    VaboWnd* parent = GetParent();
    if (window_->GetKind() == Kind::Child) {
        const Rect content = parent ? parent->screens_.GetContentFrame() : Rect{};
        window_->MoveTo(content.x + x, content.y + y);
        return true;
    }
    if (window_->GetKind() == Kind::Application || !parent || !parent->IsCreated()) {
        window_->MoveTo(x, y);
        return true;
    }
    const Platform::Rect frame = parent->GetContentScreenRect();
    int targetX = frame.x + x;
    int targetY = frame.y + y;
    Platform::Rect placed = window_->GetRect();
    placed.x = targetX;
    placed.y = targetY;
    const Platform::Rect work = Platform::WorkAreaOf(window_->Handle());
    if (work.width > 0 && work.height > 0)
        Platform::KeepInsideWorkArea(placed, work, targetX, targetY);
    window_->MoveTo(targetX, targetY);
    return true;
}

void VaboWnd::Hide()
{
    if (window_)
        window_->Hide();
}

void VaboWnd::Show()
{
    if (window_)
        window_->Show();
    // A hidden window's listeners were not ticked and asked for nothing.
    Platform::RequestNextTick();
}

void VaboWnd::SetCursorShape(int shape)
{
    switch (shape) {
    case 0:
        Platform::SetCursorShape(Platform::CursorShape::Arrow);
        break;
    case 1:
        Platform::SetCursorShape(Platform::CursorShape::SizeNwse);
        break;
    case 2:
        Platform::SetCursorShape(Platform::CursorShape::SizeNs);
        break;
    default:
        break;
    }
}

void VaboWnd::Maximize()
{
    if (window_)
        window_->Maximize();
}

void VaboWnd::Minimize()
{
    if (window_)
        window_->Minimize();
}

void VaboWnd::Restore()
{
    if (window_)
        window_->Restore();
}

bool VaboWnd::IsIconic() const
{
    return window_ && window_->IsMinimized();
}

bool VaboWnd::IsZoomed() const
{
    return window_ && window_->IsMaximized();
}

bool VaboWnd::IsWindowVisible() const
{
    return window_ && window_->IsVisible();
}

void VaboWnd::SetFocus()
{
    if (window_)
        window_->Raise();
}

bool VaboWnd::HasFocus() const
{
    return window_ && window_->HasInputFocus();
}

void VaboWnd::SetWindowText(const std::string& text)
{
    if (window_)
        window_->SetTitle(text);
}

std::string VaboWnd::GetWindowText() const
{
    return window_ ? window_->GetTitle() : std::string();
}

bool VaboWnd::SetIcon(const std::string& fileName)
{
    return window_ && window_->SetIcon(fileName);
}

bool VaboWnd::PointerInWindow(int& x, int& y) const
{
    if (!window_ || !Platform::PointerIsOver(window_->Handle()))
        return false;
    const Platform::Rect frame = GetContentScreenRect();
    x = lastPointer_.x - frame.x;
    y = lastPointer_.y - frame.y;
    return true;
}

Platform::Rect VaboWnd::GetContentScreenRect() const
{
    const Platform::Rect window = GetWindowRect();
    const Rect& content = screens_.GetContentFrame();
    if (content.width <= 0 || content.height <= 0)
        return window;
    return Platform::Rect{window.x + content.x, window.y + content.y, content.width, content.height};
}

Platform::Rect VaboWnd::GetWindowRect() const
{
    return window_ ? window_->GetRect() : Platform::Rect{};
}

Platform::Rect VaboWnd::GetClientRect() const
{
    const Platform::Rect r = GetWindowRect();
    return Platform::Rect{0, 0, r.width, r.height};
}

void VaboWnd::CenterWindow()
{
    if (!window_)
        return;
    Platform::Rect around = Platform::WorkAreaOf(window_->Handle());
    VaboWnd* parent = GetParent();
    if (parent && parent->IsCreated())
        around = parent->GetContentScreenRect();
    const Platform::Rect r = window_->GetRect();
    // A child's place counts from its parent's client area.
    if (window_->GetKind() == Kind::Child && parent)
        around = Platform::Rect{parent->screens_.GetContentFrame().x, parent->screens_.GetContentFrame().y,
                                around.width, around.height};
    window_->MoveTo(around.x + (around.width - r.width) / 2, around.y + (around.height - r.height) / 2);
}

void VaboWnd::SetOwner(VaboWnd& owner)
{
    if (!window_ || !owner.window_ || &owner == this)
        return;
    window_->SetOwner(*owner.window_);
    const auto known = std::find_if(owner.owned_.begin(), owner.owned_.end(),
                                    [this](const auto& owned) { return owned.first == this; });
    if (known == owner.owned_.end())
        owner.owned_.emplace_back(this, Watch());
}

bool VaboWnd::BringModalForward()
{
    owned_.erase(std::remove_if(owned_.begin(), owned_.end(), [](const auto& owned) { return owned.second.expired(); }),
                 owned_.end());
    for (auto owned = owned_.rbegin(); owned != owned_.rend(); ++owned) {
        VaboWnd& window = *owned->first;
        if (window.IsInModalLoop() && window.IsWindowVisible()) {
            window.SetFocus();
            return true;
        }
    }
    return false;
}

void VaboWnd::EnableWindow(bool enable)
{
    if (!window_)
        return;
    if (enable)
        Platform::EventLoop::Instance().EnableInput(window_->Id());
    else
        Platform::EventLoop::Instance().DisableInput(window_->Id());
}

bool VaboWnd::IsWindowEnabled() const
{
    return window_ && Platform::EventLoop::Instance().IsInputEnabled(window_->Id());
}

int VaboWnd::RunModalLoop()
{
    if (!window_)
        return -1;
    return Platform::EventLoop::Instance().RunModal(window_->Id());
}

void VaboWnd::EndModalLoop(int result)
{
    if (window_)
        Platform::EventLoop::Instance().EndModal(window_->Id(), result);
}

bool VaboWnd::IsInModalLoop() const
{
    return window_ && Platform::EventLoop::Instance().IsRunningModal(window_->Id());
}

bool VaboWnd::PostCall(std::function<void()> call)
{
    return Platform::EventLoop::Post(std::move(call));
}

void VaboWnd::OnInput(const Platform::HostInput& input)
{
    using Kind = Platform::HostInput::Kind;
    // The map comes when the window manager makes it, after the show.
    if (input.kind == Kind::Exposed && window_)
        window_->Exposed();
    const bool child = window_ && window_->GetKind() == VaboWnd::Kind::Child;
    VaboWnd* parent = GetParent();
    // A child takes input only while the window it lies in does.
    if (child && parent && !parent->IsWindowEnabled() && input.IsUserInput())
        return;
    // Click to focus, as a window manager would: the window pressed takes the
    // keyboard focus, and the one that had it (an open popup) loses it. A
    // click into a child focuses the window it lies in.
    const bool leftPress = input.kind == Kind::LeftButtonDown || input.kind == Kind::LeftButtonDblClk;
    const bool press = leftPress || input.kind == Kind::RightButtonDown || input.kind == Kind::RightButtonDblClk;
    if (press) {
        VaboWnd* focused = child && parent ? parent : this;
        if (!focused->HasFocus())
            focused->SetFocus();
    }
    // A window manager may stack the owner over its box (a click on it, a
    // restore): the box, whose loop holds the input, comes forward again.
    if (input.kind == Kind::FocusGained && BringModalForward())
        return;
    // The main window gone, nothing of the program shows any more: it ends
    // as when the main window closes, boxes open over it or not. Another
    // window gone closes as on a close request.
    if (input.kind == Kind::Destroyed && mainWindow_) {
        Platform::EventLoop::Instance().EndAllModal();
        return;
    }
    if (input.kind == Kind::CloseRequest || input.kind == Kind::Destroyed) {
        if (closeHandler_)
            closeHandler_();
        else
            EndModalLoop(0);
        return;
    }
    if (input.kind == Kind::DropFile) {
        Platform::HostInput drop = input;
        Platform::CursorScreenPosition(drop.x, drop.y);
        const Platform::Rect frame = GetWindowRect();
        drop.x -= frame.x;
        drop.y -= frame.y;
        router_.Route(drop, HasFocus());
        return;
    }
    if (leftPress)
        leftButtonHeld_ = true;
    else if (input.kind == Kind::LeftButtonUp || input.kind == Kind::FocusLost)
        leftButtonHeld_ = false;
    std::weak_ptr<void> alive = Watch();
    const Platform::Rect frame = GetWindowRect();
    if (input.kind == Kind::MouseMove)
        lastPointer_ = Point{frame.x + input.x, frame.y + input.y};
    if (router_.Route(input, HasFocus(), frame.x, frame.y) && !alive.expired())
        Redraw();
}

void VaboWnd::FollowDraggedPointer()
{
    // A window dragged along with the pointer keeps the pointer at one point of
    // it, and SDL reports no motion that leaves the window-relative point
    // unchanged: while the button is held the pointer is read on each tick.
    int x = 0;
    int y = 0;
    Platform::CursorScreenPosition(x, y);
    if (x == lastPointer_.x && y == lastPointer_.y)
        return;
    const Platform::Rect frame = GetWindowRect();
    Platform::HostInput move;
    move.kind = Platform::HostInput::Kind::MouseMove;
    move.windowId = window_->Id();
    move.x = x - frame.x;
    move.y = y - frame.y;
    OnInput(move);
}

void VaboWnd::OnTick()
{
    // A minimised window keeps its clock, so its screens go on refreshing (the
    // tuner writes its measurement into the title); only drawing waits.
    const bool shown = IsWindowVisible();
    if (!shown && !IsIconic())
        return;
    std::weak_ptr<void> alive = Watch();
    if (leftButtonHeld_) {
        Platform::RequestNextTick();
        FollowDraggedPointer();
        if (alive.expired() || !window_)
            return;
    }
    if (screens_.Timer() && !alive.expired() && shown)
        Redraw();
}

} // namespace Vabo
