// GuiObject: the drawing pass and tooltips.
#include <cmath>
#include <set>

#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/GuiObject.h"
#include "framework/core/ObjectSignals.h"
#include "framework/drawing/Font.h"
#include "framework/drawing/Painter.h"
#include "framework/core/ScreenManagerInterface.h"

namespace Vabo {

bool GuiObject::DrawSelf(GdiplusGfxLayer::Painter&)
{
    return true;
}

bool GuiObject::Render(GdiplusGfxLayer::Painter& painter)
{
    if (!IsVisible())
        return true;
    bool opaque = alpha_ >= 1.0f || std::isnan(alpha_);
    if (!opaque && alpha_ <= 0.0f)
        return true;
    std::unique_ptr<GdiplusGfxLayer::OpacityScope> opacity;
    if (!opaque)
        opacity = std::make_unique<GdiplusGfxLayer::OpacityScope>(painter, alpha_);
    if (!drawSelfAfterChildren_)
        DrawSelf(painter);
    {
        GdiplusGfxLayer::TranslationScope origin(painter, static_cast<float>(OwnX()), static_cast<float>(OwnY()));
        // Only what meets the clip (the frame's dirty region) is drawn. A
        // child may overhang its own rectangle (skins place grandchildren
        // freely), so it is skipped only when its whole subtree misses.
        for (std::size_t i = 0; i < children_.size(); ++i) {
            if (IsChildInView(children_[i]) && children_[i]->SubtreeMeets(painter, 0, 0))
                children_[i]->Render(painter);
        }
    }
    if (drawSelfAfterChildren_)
        DrawSelf(painter);
    return true;
}

bool GuiObject::SubtreeMeets(const GdiplusGfxLayer::Painter& painter, int dx, int dy) const
{
    Rect own = GetRect();
    own.x += dx;
    own.y += dy;
    if (painter.Meets(own))
        return true;
    dx += OwnX();
    dy += OwnY();
    for (const GuiObject* child : children_)
        if (child->IsVisible() && child->SubtreeMeets(painter, dx, dy))
            return true;
    return false;
}

bool GuiObject::ShowToolTip(bool show, const Point* point)
{
    if (!show) {
        if (toolTipWindow_)
            toolTipWindow_->SetVisible(false);
        return false;
    }
    if (!IsWindowActive() || toolTipText_.empty() || point == nullptr)
        return false;
    // A tip sizes itself once, to its text, and the skin sizes that text by
    // the main window: a window resized since gets a tip built anew.
    int width = 0, height = 0;
    GdiplusGfxLayer::CurrentMainWindowSize(width, height);
    if (toolTipWindow_ && (width != toolTipBuiltWidth_ || height != toolTipBuiltHeight_))
        toolTipWindow_.reset();
    if (!toolTipWindow_) {
        toolTipWindow_ = BuildToolTipWindow();
        if (!toolTipWindow_)
            return false;
        toolTipBuiltWidth_ = width;
        toolTipBuiltHeight_ = height;
    }
    // All in the window frame: the object, the pointer and the controls around.
    toolTipWindow_->PlaceBeside(Rect{GetWindowX(), GetWindowY(), GetWidth(), GetHeight()}, *point, ControlsAround());
    toolTipWindow_->SetVisible(true);
    GetScreenManager()->ReturnKeyboardFocus();
    return true;
}

std::vector<Rect> GuiObject::ControlsAround()
{
    const auto related = [this](GuiObject* other) {
        for (GuiObject* at = this; at; at = at->GetParent())
            if (at == other)
                return true;
        for (GuiObject* at = other; at; at = at->GetParent())
            if (at == this)
                return true;
        return false;
    };
    // A control is what the keys reach or what has a tip of its own; a
    // caption says what a control is or what it shows.
    std::vector<GuiObject*> objects;
    std::set<GuiObject*> tabbed;
    std::vector<GuiObject*> pending{GetRootObject()};
    while (!pending.empty()) {
        GuiObject* at = pending.back();
        pending.pop_back();
        if (!at)
            continue;
        objects.push_back(at);
        for (const TabEntry& entry : at->GetTabList())
            if (!entry.watch.expired())
                tabbed.insert(entry.object);
        pending.insert(pending.end(), at->GetChildren().begin(), at->GetChildren().end());
    }
    std::vector<Rect> controls;
    for (GuiObject* object : objects) {
        if ((tabbed.count(object) == 0 && object->GetToolTipText().empty() && !object->IsCaption()) || related(object)
            || !object->IsVisibleInTree() || object->GetWidth() <= 0 || object->GetHeight() <= 0)
            continue;
        controls.push_back(Rect{object->GetWindowX(), object->GetWindowY(), object->GetWidth(), object->GetHeight()});
    }
    return controls;
}

void GuiObject::OnShowToolTip(Signal::Base* base, GuiObject*)
{
    auto* signal = static_cast<Signal::ShowToolTip*>(base);
    if (!IsVisibleInTree() || signal->claimer != nullptr)
        return;
    Point point{signal->x, signal->y};
    if (ShowToolTip(IsVisible() && HitTest(signal->x, signal->y), &point))
        signal->claimer = this;
}

} // namespace Vabo
