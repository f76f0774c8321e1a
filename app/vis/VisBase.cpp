#include "app/vis/VisBase.h"

#include "framework/core/ScreenManagerInterface.h"
#include "framework/drawing/Painter.h"

#include <algorithm>

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

void VisBase::Refresh()
{
    for (const Vabo::Rect& part : ChangedAreas(GetX(), GetY(), GetWidth(), GetHeight()))
        InvalidatePart(*this, part);
}

void VisBase::InvalidatePart(Vabo::GuiObject& object, const Vabo::Rect& part)
{
    if (part.width <= 0 || part.height <= 0 || !object.HasScreenManager())
        return;
    const Vabo::Rect top = object.GetRectInTopLevel();
    const int left = std::max(top.x, top.x + part.x - object.GetX());
    const int upper = std::max(top.y, top.y + part.y - object.GetY());
    const int right = std::min(top.x + top.width, top.x + part.x - object.GetX() + part.width);
    const int bottom = std::min(top.y + top.height, top.y + part.y - object.GetY() + part.height);
    if (right > left && bottom > upper)
        object.GetScreenManager()->InvalidateRect({left, upper, right - left, bottom - upper});
}
