#include "framework/widgets/LayoutObject.h"

namespace Vabo {

LayoutObject::LayoutObject(GuiObject* object, const GridVal& x, const GridVal& y, const GridVal& width,
                           const GridVal& height, TiXmlElement* element, const Animation* animation)
    : element(element)
    , object(object)
    , x(x)
    , y(y)
    , width(width)
    , height(height)
{
    if (animation != nullptr)
        this->animation = *animation;
}

LayoutObject::LayoutObject(GuiObject* object, TiXmlElement* element, const Animation* animation)
    : element(element)
    , object(object)
{
    if (animation != nullptr)
        this->animation = *animation;
    if (element == nullptr)
        return;
    GridVal readX, readY, readWidth, readHeight;
    if (readX.ReadXmlLength(element, "XPos") && readY.ReadXmlLength(element, "YPos")
        && readWidth.ReadXmlLength(element, "Width") && readHeight.ReadXmlLength(element, "Height")) {
        x = readX;
        y = readY;
        width = readWidth;
        height = readHeight;
    }
}

bool operator==(const LayoutObject& a, const LayoutObject& b)
{
    return a.object == b.object && a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

bool operator!=(const LayoutObject& a, const LayoutObject& b)
{
    return !(a == b);
}

} // namespace Vabo
