#include "framework/host/AppWindow.h"

#include <algorithm>

#include <tinyxml.h>

#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/InputSignals.h"
#include "framework/core/RoundToInt.h"
#include "framework/core/HostInputSignals.h"
#include "framework/host/VaboWnd.h"
#include "platform/Display.h"

namespace Vabo {

namespace {

// The vertical sizing arrow shown over the resize grip, and the plain arrow.
constexpr int kArrowCursor = 0;
constexpr int kResizeCursor = 2;

} // namespace

AppWindow::AppWindow(TiXmlElement* element)
    : Window(element)
{
    AddSlot<Signal::LeftButtonDown>(&AppWindow::DragStartSlot, this);
    AddSlot<Signal::LeftButtonUp>(&AppWindow::DragEndSlot, this);
    AddSlot<Signal::MouseMove>(&AppWindow::DragSlot, this);
    AddSlot<Signal::LeftButtonDblClk>(&AppWindow::TitleDoubleClickSlot, this);
    SetForceSelected(true);
    if (element)
        RegisterLoader<AppWindow>(element, this);
    if (VaboWnd* host = GetHostWnd(); host && preserveAspect_ && GetWidth() > 0 && GetHeight() > 0) {
        // The screens keep the skin's shape inside a window of another one;
        // the grip takes its own aspect and minimum at the first press.
        host->GetScreenManager().KeepAspect(static_cast<float>(GetHeight()) / static_cast<float>(GetWidth()),
                                            marginColor_);
        // The window manager keeps the minimum the grip will keep.
        if (minFactor_ > 0.0f)
            host->SetMinimumSize(RoundToIntSize(static_cast<float>(GetWidth()) * minFactor_),
                                 RoundToIntSize(static_cast<float>(GetHeight()) * minFactor_));
    }
    Window::WindowSizedSlot(nullptr, this);
}

AppWindow::~AppWindow() = default;

bool AppWindow::LoadFromXML(TiXmlElement* element)
{
    ReadXmlAttribute(preserveAspect_, element, "PreserveAspect", false);
    ReadXmlAttribute(minFactor_, element, "ResizeMinFactor", false, kSkinScale);
    ReadXmlAttribute(marginColor_, element, "MarginColor", false);
    std::string globalName;
    if (ReadXmlAttribute(globalName, element, "GlobalName", false)) {
        DllGlobalObjectFactoryInstance().RegisterGlobalObject(globalName, this);
    }
    std::string name;
    if (ReadXmlAttribute(name, element, "Resize", false)) {
        resizeGrip_ = GetXMLObject<GuiObject>(this, name);
        if (resizeGrip_)
            resizeWatch_ = resizeGrip_->Watch();
    }
    if (ReadXmlAttribute(name, element, "Move", false)) {
        moveGrip_ = GetXMLObject<GuiObject>(this, name);
        if (moveGrip_)
            moveWatch_ = moveGrip_->Watch();
    }
    return true;
}

void AppWindow::WindowSizedSlot(Signal::Base* signal, GuiObject* object)
{
    // The host has its size already (a maximised one may hold margins
    // besides): only the tree follows.
    auto* sized = static_cast<Signal::WindowSized*>(signal);
    GuiObject::SetSize(sized->width, sized->height);
    UpdateLayout();
    Window::WindowSizedSlot(signal, object);
    Invalidate();
}

void AppWindow::DragStartSlot(Signal::Base* signal, GuiObject*)
{
    auto* press = static_cast<Signal::Positional*>(signal);
    const int x = press->x;
    const int y = press->y;
    if (GuiObject* grip = ResizeGrip())
        resizing_ = grip->HitTest(x, y);
    if (GuiObject* grip = MoveGrip())
        moving_ = grip->HitTest(x, y);

    // Taken once, at the first press, and kept for the window's life.
    if (minWidth_ == 0 && minHeight_ == 0) {
        minWidth_ = RoundToIntSize(static_cast<float>(GetWidth()) * minFactor_);
        minHeight_ = RoundToIntSize(static_cast<float>(GetHeight()) * minFactor_);
        VaboWnd* host = GetHostWnd();
        if (host && preserveAspect_ && (minWidth_ > 0 || minHeight_ > 0))
            host->SetMinimumSize(minWidth_, minHeight_);
    }
    if (preserveAspect_ && aspect_ == 0.0f && GetWidth() > 0 && GetHeight() > 0)
        aspect_ = static_cast<float>(GetHeight()) / static_cast<float>(GetWidth());

    Platform::CursorScreenPosition(pressGlobal_.x, pressGlobal_.y);
    // The window manager may have moved the window since we last placed it:
    // the drag starts from where the screen shows it.
    if (VaboWnd* host = GetHostWnd()) {
        const Platform::Rect shown = host->GetWindowRect();
        GuiObject::SetPosition(shown.x, shown.y);
    }
    startTopLeft_ = Point{GetX(), GetY()};
    startWidth_ = GetWidth();
    startHeight_ = GetHeight();
}

void AppWindow::TitleDoubleClickSlot(Signal::Base* signal, GuiObject*)
{
    auto* click = static_cast<Signal::Positional*>(signal);
    GuiObject* grip = MoveGrip();
    if (grip && grip->HitTest(click->x, click->y)) {
        moving_ = false;
        MaxRestoreSlot(signal, this);
    }
}

bool AppWindow::FillsTheScreen() const
{
    if (IsMaximized())
        return true;
    VaboWnd* host = GetHostWnd();
    if (!host)
        return false;
    const Rect& content = host->GetScreenManager().GetContentFrame();
    return content.x != 0 || content.y != 0;
}

void AppWindow::DragEndSlot(Signal::Base*, GuiObject*)
{
    moving_ = false;
    resizing_ = false;
}

void AppWindow::DragSlot(Signal::Base* signal, GuiObject*)
{
    auto* move = static_cast<Signal::Positional*>(signal);
    if ((moving_ || resizing_) && !FillsTheScreen()) {
        Point pointer;
        Platform::CursorScreenPosition(pointer.x, pointer.y);
        const int dx = pointer.x - pressGlobal_.x;
        const int dy = pointer.y - pressGlobal_.y;
        if (moving_) {
            SetPosition(startTopLeft_.x + dx, startTopLeft_.y + dy);
        } else if (!preserveAspect_) {
            // Free resizing has no minimum but never reaches an empty window.
            Window::SetSize(std::max(1, startWidth_ + dx), std::max(1, startHeight_ + dy));
        } else {
            // The corner keeps the point of the grip that was pressed.
            int height = startHeight_ + dy;
            int width = aspect_ > 0.0f ? RoundToIntSize(static_cast<float>(height) / aspect_) : GetWidth();
            height = std::max({height, minHeight_, 1});
            width = std::max({width, minWidth_, 1});
            Window::SetSize(width, height);
        }
    }
    GuiObject* grip = ResizeGrip();
    const bool overGrip = grip && grip->HitTest(move->x, move->y);
    SetCursor(overGrip ? kResizeCursor : kArrowCursor);
}

} // namespace Vabo
