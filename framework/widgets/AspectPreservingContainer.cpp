#include "framework/widgets/AspectPreservingContainer.h"

namespace Vabo {

AspectPreservingContainer::AspectPreservingContainer(std::shared_ptr<GuiObject> object, float aspectRatio)
    : GridLayout(nullptr, true)
    , object_(std::move(object))
    , aspectRatio_(aspectRatio)
{
    AddObjectAtFractions(object_.get(), 0, 0, 1, 1);
}

// The object may outlive its share here; it leaves while this is still a
// whole container.
AspectPreservingContainer::~AspectPreservingContainer()
{
    RemoveChild(object_.get(), false);
}

bool AspectPreservingContainer::SetSize(int width, int height)
{
    const bool result = GuiObject::SetSize(width, height);
    const LayoutObject fit = ComputeChildRecord(width, height);
    ResolveObjectRect(object_.get(), fit.x, fit.y, fit.width, fit.height);
    UpdateLayout();
    return result;
}

LayoutObject AspectPreservingContainer::ComputeChildRecord(int width, int height) const
{
    LayoutObject fit(object_.get(), GridVal(0, 0), GridVal(0, 0), GridVal(0, 1), GridVal(0, 1), nullptr, nullptr);
    if (width <= 0 || height <= 0 || !(aspectRatio_ > 0))
        return fit;
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    if (w / h <= aspectRatio_) {
        const float share = (w / aspectRatio_) / h;
        fit.height = GridVal(0, share);
        fit.y = GridVal(0, 0.5f - 0.5f * share);
    } else {
        const float share = (h * aspectRatio_) / w;
        fit.width = GridVal(0, share);
        fit.x = GridVal(0, 0.5f - 0.5f * share);
    }
    return fit;
}

} // namespace Vabo
