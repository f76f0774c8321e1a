#pragma once
// A flow layout of any number of children: each fixed child stays where it
// was put, at an offset along the axis, and each expandable child is
// stretched over the space between its neighbours (as a scroll object's track
// pieces around its bar).
#include "framework/widgets/FlowLayout_.h"

namespace Vabo {

class FlowLayoutAbsolutePadded : public FlowLayout_<AbsolutePadded> {
public:
    explicit FlowLayoutAbsolutePadded(TiXmlElement* element);
    ~FlowLayoutAbsolutePadded() override;

    // An offset other than kExpandable adds a fixed child moved to that many
    // pixels along the axis from the layout's own start; kExpandable adds an
    // expandable one.
    bool AddObjectWithExtent(GuiObject* child, int offset) override;
};

} // namespace Vabo
