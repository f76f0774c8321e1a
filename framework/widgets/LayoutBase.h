#pragma once
// Abstract base of every layout container: a GuiObject that builds its
// children from its skin element (XmlObjectHolder) and places them by
// records of pixels-plus-fraction lengths.
#include "framework/core/GuiObject.h"
#include "framework/core/XmlObjectHolder.h"
#include "framework/widgets/GridVal.h"
#include "framework/widgets/LayoutObject.h"

#include <map>
#include <memory>

namespace Vabo {

using LayoutRecords = std::map<GuiObject*, std::shared_ptr<LayoutObject>>;

class LayoutBase : public GuiObject, public XmlObjectHolder {
public:
    // Built from an element: not selectable, not of fixed size.
    explicit LayoutBase(TiXmlElement* element);
    // Built in code: selectable, not of fixed size.
    LayoutBase();

    GuiObject* GetOwner() override { return this; }
    using XmlObjectHolder::AddObject;

    bool AddObject(GuiObject* object, TiXmlElement* element, const Animation* animation) override = 0;
    bool SetObjectRectFromXML(GuiObject* object, TiXmlElement* element) override = 0;
    bool ConfigureObjectLayout(GuiObject* object, TiXmlElement* element) override = 0;
    int ResetCachedRect() override = 0;
    virtual LayoutRecords& GetLayoutRecords() = 0;
    // Stores the lengths in the object's record and places it (rounded).
    virtual void ResolveObjectRect(GuiObject* object, const GridVal& x, const GridVal& y, const GridVal& width,
                                   const GridVal& height) = 0;
    // Places the object (truncated) without touching its record.
    virtual void ApplyGridVals(GuiObject* object, const GridVal& x, const GridVal& y, const GridVal& width,
                               const GridVal& height) = 0;

protected:
    void VisitAnimations(const AnimationVisitor& visit) final;
    void ApplyFractions(GuiObject* child, const Fractions& fractions) final;
};

} // namespace Vabo
