#pragma once
// One display of measured data: draws itself from its value sources into a
// rectangle, clipped to it. Containers (Vis) hand it their own rectangle.
#include "framework/core/GuiObject.h"

#include <vector>

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

    // What of the display drawn at the rectangle must be drawn again to show
    // its sources' present values: all of it, unless the display knows that
    // less changes (then it expects that part drawn with the next frame).
    virtual Vabo::Rect ChangedArea(int x, int y, int width, int height) { return {x, y, width, height}; }
    // The same as rectangles of their own, for a display whose moving parts
    // lie apart (a rectangle holding them all would hold much that stays).
    virtual std::vector<Vabo::Rect> ChangedAreas(int x, int y, int width, int height)
    {
        return {ChangedArea(x, y, width, height)};
    }
    // Makes dirty what ChangedAreas gives at the object's own position.
    void Refresh();

    // Makes dirty the part (in the frame of the object's parent) of the
    // object's rectangle; nothing before its tree is shown.
    static void InvalidatePart(Vabo::GuiObject& object, const Vabo::Rect& part);
};
