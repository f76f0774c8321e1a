#include "framework/widgets/LayoutObject.h"

#include <string>

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
    std::string xText, yText, widthText, heightText;
    if (ReadXmlAttribute(xText, element, "XPos", true) && ReadXmlAttribute(yText, element, "YPos", true)
        && ReadXmlAttribute(widthText, element, "Width", true)
        && ReadXmlAttribute(heightText, element, "Height", true)) {
        x = GridVal(xText);
        y = GridVal(yText);
        width = GridVal(widthText);
        height = GridVal(heightText);
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
