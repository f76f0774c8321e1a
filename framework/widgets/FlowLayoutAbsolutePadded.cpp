#include "framework/widgets/FlowLayoutAbsolutePadded.h"

namespace Vabo {

FlowLayoutAbsolutePadded::FlowLayoutAbsolutePadded(TiXmlElement* element)
    : FlowLayout_<AbsolutePadded>(element)
{
}

FlowLayoutAbsolutePadded::~FlowLayoutAbsolutePadded() = default;

bool FlowLayoutAbsolutePadded::AddObjectWithExtent(GuiObject* child, int offset)
{
    if (offset == kExpandable)
        return FlowLayout_::AddObjectWithExtent(child, kExpandable);
    // In the layout's own frame, where its children are drawn.
    if (IsVertical())
        child->SetPosition(0, offset);
    else
        child->SetPosition(offset, 0);
    return FlowLayout_::AddObjectWithExtent(child, 1);
}

} // namespace Vabo
