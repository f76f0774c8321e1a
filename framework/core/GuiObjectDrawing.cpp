// GuiObject: the drawing pass and tooltips.
#include <cmath>

#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/GuiObject.h"
#include "framework/core/ObjectSignals.h"
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
    if (!toolTipWindow_) {
        toolTipWindow_ = BuildToolTipWindow();
        if (!toolTipWindow_)
            return false;
    }
    // Both coordinates in the window frame: the pointer's x, and the object.
    toolTipWindow_->PlaceBeside(Rect{GetWindowX(), GetWindowY(), GetWidth(), GetHeight()}, point->x);
    toolTipWindow_->SetVisible(true);
    GetScreenManager()->ReturnKeyboardFocus();
    return true;
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
