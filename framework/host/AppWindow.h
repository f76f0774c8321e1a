// An application window without a system frame: the user drags it by its child
// named by "Move" and resizes it by the child named by "Resize", optionally
// keeping its aspect ratio and a minimum size.
#pragma once

#include "framework/drawing/Color.h"
#include "framework/host/Window.h"

namespace Vabo {

class AppWindow : public Window {
public:
    explicit AppWindow(TiXmlElement* element);
    ~AppWindow() override;

    // Follows the host window's new size and rebuilds a shaped outline.
    void WindowSizedSlot(Signal::Base* signal, GuiObject* object) override;

    virtual void DragStartSlot(Signal::Base* signal, GuiObject* object);
    virtual void DragEndSlot(Signal::Base* signal, GuiObject* object);
    virtual void DragSlot(Signal::Base* signal, GuiObject* object);
    // A double click on the "Move" grip maximises the window or restores it.
    void TitleDoubleClickSlot(Signal::Base* signal, GuiObject* object);

    bool LoadFromXML(TiXmlElement* element);

    int GetMinimumWidth() const { return minWidth_; }
    int GetMinimumHeight() const { return minHeight_; }
    // Height per width kept by the grip; 0 until the first press.
    float GetAspect() const { return aspect_; }

private:
    // Maximised or full screen: the window is neither dragged nor resized.
    bool FillsTheScreen() const;
    // The grips' watches tell when a grip was destroyed (a skin may replace it).
    GuiObject* ResizeGrip() const { return resizeWatch_.expired() ? nullptr : resizeGrip_; }
    GuiObject* MoveGrip() const { return moveWatch_.expired() ? nullptr : moveGrip_; }

    GuiObject* resizeGrip_ = nullptr;
    std::weak_ptr<void> resizeWatch_;
    GuiObject* moveGrip_ = nullptr;
    std::weak_ptr<void> moveWatch_;
    bool moving_ = false;
    bool resizing_ = false;
    bool preserveAspect_ = false;
    float minFactor_ = 0.0f;
    int minWidth_ = 0;
    int minHeight_ = 0;
    float aspect_ = 0.0f;
    // What fills the window around the content kept at its aspect.
    GdiplusGfxLayer::Color marginColor_;
    // Where the drag started, in screen coordinates: the pointer and the window's
    // own top-left and size. Drags follow the global pointer, because the window
    // moves under the pointer and its own coordinates lag behind the moves.
    Point pressGlobal_;
    Point startTopLeft_;
    int startWidth_ = 0;
    int startHeight_ = 0;
};

} // namespace Vabo
