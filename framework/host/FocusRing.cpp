#include "framework/host/FocusRing.h"

#include "framework/drawing/Painter.h"

namespace Vabo {

FocusRing::FocusRing(const GdiplusGfxLayer::Color& colour)
    : GuiObject(1, 0)
    , colour_(colour)
{
}

void FocusRing::Follow(GuiObject* control)
{
    if (GuiObject* old = Followed())
        old->Invalidate();
    control_ = control;
    watch_ = control ? control->Watch() : std::weak_ptr<void>();
    if (control)
        control->Invalidate();
}

bool FocusRing::DrawSelf(GdiplusGfxLayer::Painter& painter)
{
    GuiObject* control = Followed();
    if (!control || !control->IsVisibleInTree() || !(control->IsSelected() || control->HasSelectedChild()))
        return true;
    // Inside the control's own rectangle, so that repainting the control
    // (as losing the selection does) takes the ring away with it.
    const Rect ring{control->GetWindowX() + 1, control->GetWindowY() + 1, control->GetWidth() - 3,
                    control->GetHeight() - 3};
    if (ring.width > 0 && ring.height > 0)
        painter.DrawFrame(ring, colour_, colour_, 2.0f);
    return true;
}

} // namespace Vabo
