// The small popup that shows an object's tooltip text: a popup window whose
// definition holds a Vabo::Text2 named "Text". It sizes itself once, to the
// text plus a border, paints the tooltip background inside a black frame, and
// hides as soon as the pointer moves over it. It leaves the keyboard focus
// where it is.
#pragma once

#include "framework/host/PopupMenuWindow.h"

namespace Vabo {

class ToolTip : public PopupMenuWindow {
public:
    // With a "Text" label, "XBorderSize", "YBorderSize" and "Text" are required.
    explicit ToolTip(TiXmlElement* element);
    ~ToolTip() override;

    // The size is fixed at construction: layouts cannot change it.
    bool SetSize(int width, int height) override;
    bool DrawSelf(GdiplusGfxLayer::Painter& painter) override;
    // Within the screen and never over the object (see PlaceToolTip).
    bool PlaceBeside(const Rect& object, const Point& pointer, const std::vector<Rect>& keepClear) override;

private:
    void SizeToText(TiXmlElement* element);
};

} // namespace Vabo
