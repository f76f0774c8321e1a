#include "framework/widgets/LayoutBase.h"

namespace Vabo {

LayoutBase::LayoutBase(TiXmlElement* element)
    : GuiObject(element, 1, 0)
{
}

LayoutBase::LayoutBase()
    : GuiObject(0, 0)
{
}

void LayoutBase::VisitAnimations(const AnimationVisitor& visit)
{
    for (auto& [child, record] : GetLayoutRecords())
        visit(child, record->animation,
              {record->x.percentage, record->y.percentage, record->width.percentage, record->height.percentage});
}

void LayoutBase::ApplyFractions(GuiObject* child, const Fractions& fractions)
{
    ApplyGridVals(child, GridVal(0, fractions.x), GridVal(0, fractions.y), GridVal(0, fractions.width),
                  GridVal(0, fractions.height));
}

} // namespace Vabo
