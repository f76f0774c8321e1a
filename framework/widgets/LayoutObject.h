#pragma once
// A grid layout's record of one child: the child, the element it was placed
// from, its four layout lengths and the animation the skin gave it.
#include "framework/core/AnimationKey.h"
#include "framework/core/XMLLoadSave.h"
#include "framework/widgets/GridVal.h"

class TiXmlElement;

namespace Vabo {

class GuiObject;

class LayoutObject : public XMLLoadSave {
public:
    LayoutObject() = default;
    LayoutObject(GuiObject* object, const GridVal& x, const GridVal& y, const GridVal& width, const GridVal& height,
                 TiXmlElement* element, const Animation* animation);
    // Reads "XPos", "YPos", "Width" and "Height" (all required) from the
    // element; throws XMLLoadSaveException when one is missing.
    LayoutObject(GuiObject* object, TiXmlElement* element, const Animation* animation);

    TiXmlElement* element = nullptr;
    GuiObject* object = nullptr;
    GridVal x;
    GridVal y;
    GridVal width;
    GridVal height;
    Animation animation;
};

// Same object at the same place; element and animation are not compared.
bool operator==(const LayoutObject& a, const LayoutObject& b);
bool operator!=(const LayoutObject& a, const LayoutObject& b);

} // namespace Vabo
