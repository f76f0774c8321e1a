// The visible keyboard focus of a window: a ring in the skin's focus colour
// around the control that Tab moved the selection to, drawn over the window's
// tree. It goes as soon as that control loses the selection (the pointer
// selects what it moves over, and a click elsewhere moves it).
#pragma once

#include <memory>

#include "framework/core/GuiObject.h"
#include "framework/drawing/Color.h"

namespace Vabo {

class FocusRing : public GuiObject {
public:
    explicit FocusRing(const GdiplusGfxLayer::Color& colour);

    // The control to ring; null for none.
    void Follow(GuiObject* control);
    GuiObject* Followed() const { return watch_.expired() ? nullptr : control_; }

    bool DrawSelf(GdiplusGfxLayer::Painter& painter) override;

private:
    GdiplusGfxLayer::Color colour_;
    GuiObject* control_ = nullptr;
    std::weak_ptr<void> watch_;
};

} // namespace Vabo
