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
    SetForceSelected(true);
    if (element)
        RegisterLoader<AppWindow>(element, this);
    Window::WindowSizedSlot(nullptr, this);
}

AppWindow::~AppWindow() = default;

bool AppWindow::LoadFromXML(TiXmlElement* element)
{
    ReadXmlAttribute(preserveAspect_, element, "PreserveAspect", false);
    ReadXmlAttribute(minFactor_, element, "ResizeMinFactor", false);
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
    auto* sized = static_cast<Signal::WindowSized*>(signal);
    Window::SetSize(sized->width, sized->height);
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

    // Keeping the aspect, the press itself takes the window's bottom edge to the
    // pointer. A press on or above the top edge, or a window without height, has
    // no ratio to keep.
    if (resizing_ && preserveAspect_ && y > 0 && GetHeight() > 0) {
        const float ratio = static_cast<float>(GetHeight()) / static_cast<float>(y);
        Window::SetSize(static_cast<int>(static_cast<float>(GetWidth()) / ratio), y);
    }
    if (minWidth_ == 0 && minHeight_ == 0) {
        minWidth_ = RoundToInt(static_cast<float>(GetWidth()) * minFactor_);
        minHeight_ = RoundToInt(static_cast<float>(GetHeight()) * minFactor_);
    }
    if (preserveAspect_ && aspect_ == 0.0f && GetWidth() != 0) {
        aspect_ = static_cast<float>(GetHeight()) / static_cast<float>(GetWidth());
    }

    Platform::CursorScreenPosition(pressGlobal_.x, pressGlobal_.y);
    startTopLeft_ = Point{GetX(), GetY()};
    startWidth_ = GetWidth();
    startHeight_ = GetHeight();
}

void AppWindow::DragEndSlot(Signal::Base*, GuiObject*)
{
    moving_ = false;
    resizing_ = false;
}

void AppWindow::DragSlot(Signal::Base* signal, GuiObject*)
{
    auto* move = static_cast<Signal::Positional*>(signal);
    if ((moving_ || resizing_) && !IsMaximized()) {
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
            int height = pointer.y - startTopLeft_.y;
            int width = aspect_ > 0.0f ? RoundToInt(static_cast<float>(height) / aspect_) : GetWidth();
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
