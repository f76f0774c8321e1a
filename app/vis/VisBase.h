#pragma once
// One display of measured data: draws itself from its value sources into a
// rectangle, clipped to it. Containers (Vis) hand it their own rectangle.
#include "framework/core/GuiObject.h"

class VisBase : public Vabo::GuiObject {
public:
    explicit VisBase(TiXmlElement* element);

    // Draws at the object's own position in its parent's frame.
    bool DrawSelf(GdiplusGfxLayer::Painter& painter) override;
    virtual bool Draw(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height) = 0;
    // Whether the values it shows changed since it was last drawn: an
    // unchanged display is not drawn again at a refresh. True when it cannot
    // tell.
    virtual bool ValuesChanged() { return true; }

    // Draw inside a clip to the rectangle, so that nothing (an arrow, a label)
    // reaches past it.
    bool DrawClipped(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height);
};
