#include "app/vis/VisBase.h"

#include "framework/drawing/Painter.h"

VisBase::VisBase(TiXmlElement* element)
    : GuiObject(element, true, false)
{
}

bool VisBase::DrawSelf(GdiplusGfxLayer::Painter& painter)
{
    return DrawClipped(painter, GetX(), GetY(), GetWidth(), GetHeight());
}

bool VisBase::DrawClipped(GdiplusGfxLayer::Painter& painter, int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0)
        return true;
    GdiplusGfxLayer::ClipScope clip(painter, Vabo::Rect{x, y, width, height});
    return Draw(painter, x, y, width, height);
}
