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
        // Only what meets the clip (the frame's dirty region) is drawn; a
        // child keeps its subtree inside its own rectangle.
        for (std::size_t i = 0; i < children_.size(); ++i) {
            if (IsChildInView(children_[i]) && painter.Meets(children_[i]->GetRect()))
                children_[i]->Render(painter);
        }
    }
    if (drawSelfAfterChildren_)
        DrawSelf(painter);
    return true;
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
