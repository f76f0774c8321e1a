#include "framework/widgets/FlowLayout_.h"

#include "framework/core/SkinFileOf.h"
#include "platform/Log.h"

#include <algorithm>
#include <string>
#include <type_traits>
#include <vector>

namespace Vabo {
namespace {

std::string Describe(const GuiObject& object, const char* kind)
{
    std::string text = std::string(kind) + " \"" + object.GetName() + "\"";
    if (object.GetXmlElement() != nullptr)
        text += " (" + SkinFileOf(object.GetXmlElement()) + ")";
    return text;
}

bool Contains(const std::vector<GuiObject*>& children, const GuiObject* child)
{
    return std::find(children.begin(), children.end(), child) != children.end();
}

} // namespace

template <class Arrangement>
FlowLayout_<Arrangement>::FlowLayout_(TiXmlElement* element)
    : GuiObject(element, 1, 0)
{
    RegisterLoader<FlowLayout_>(element, this);
}

template <class Arrangement> FlowLayout_<Arrangement>::~FlowLayout_() = default;

template <class Arrangement> bool FlowLayout_<Arrangement>::LoadFromXML(TiXmlElement* element)
{
    std::string orientation;
    ReadXmlAttribute(orientation, element, "Orientation", true);
    if (orientation == "Vertical") {
        orientation_ = Vertical;
        return true;
    }
    if (orientation == "Horizontal") {
        orientation_ = Horizontal;
        return true;
    }
    Platform::Log(Describe(*this, Arrangement::kName) + ": Orientation \"" + orientation
                  + "\" is neither \"Vertical\" nor \"Horizontal\"");
    return false;
}

template <class Arrangement> bool FlowLayout_<Arrangement>::AddObject(GuiObject* child)
{
    return AddObjectWithExtent(child, 1);
}

template <class Arrangement> bool FlowLayout_<Arrangement>::AddObjectWithExtent(GuiObject* child, int extent)
{
    if (child == nullptr || !Admits(child, extent))
        return false;
    markers_[child] = extent;
    ForgetArrangement();
    // A child added again keeps its one place in the child list.
    if (Contains(GetChildren(), child))
        return true;
    return AddChild(child, false);
}

template <class Arrangement> bool FlowLayout_<Arrangement>::Admits(GuiObject* child, int marker) const
{
    if (!Arrangement::kOneOfEachKind)
        return true;
    std::vector<GuiObject*> others;
    for (GuiObject* present : GetChildren())
        if (present != child)
            others.push_back(present);
    const char* problem = nullptr;
    if (others.size() >= 2)
        problem = "it holds at most two objects";
    else if (others.size() == 1 && IsExpandable(others[0]) == (marker == kExpandable))
        problem = marker == kExpandable ? "it needs one fixed object beside the expandable one"
                                        : "it needs one expandable object beside the fixed one";
    if (problem == nullptr)
        return true;
    Platform::Log(Describe(*this, Arrangement::kName) + " refuses \"" + child->GetName() + "\": " + problem);
    return false;
}

template <class Arrangement> bool FlowLayout_<Arrangement>::IsExpandable(GuiObject* child) const
{
    const auto found = markers_.find(child);
    return found != markers_.end() && found->second == kExpandable;
}

template <class Arrangement> void FlowLayout_<Arrangement>::ForgetArrangement()
{
    cachedRect_ = Rect{-1, -1, -1, -1};
    layoutNeeded_ = true;
}

template <class Arrangement> void FlowLayout_<Arrangement>::ClearChildren()
{
    ForgetArrangement();
    GuiObject::ClearChildren();
}

template <class Arrangement> bool FlowLayout_<Arrangement>::RemoveChild(GuiObject* child, bool update)
{
    ForgetArrangement();
    return GuiObject::RemoveChild(child, update);
}

template <class Arrangement> bool FlowLayout_<Arrangement>::DrawSelf(GdiplusGfxLayer::Painter& painter)
{
    if (layoutNeeded_) {
        UpdateLayout();
        layoutNeeded_ = false;
    }
    return GuiObject::DrawSelf(painter);
}

template <class Arrangement> void FlowLayout_<Arrangement>::Place(GuiObject* child, int x, int y, int width, int height)
{
    child->SetSize(std::max(width, 0), std::max(height, 0));
    child->SetPosition(x, y);
    child->UpdateLayout();
}

template <class Arrangement> void FlowLayout_<Arrangement>::UpdateLayout()
{
    if constexpr (std::is_same_v<Arrangement, AbsolutePadded>)
        ArrangePadded();
    else
        ArrangeAligned(std::is_same_v<Arrangement, EndAligned>);
}

template <class Arrangement> void FlowLayout_<Arrangement>::ArrangeAligned(bool atEnd)
{
    const Rect bounds = GetBounds();
    if (bounds == cachedRect_)
        return;
    cachedRect_ = bounds;
    const int width = bounds.width;
    const int height = bounds.height;
    if (width <= 0 && height <= 0)
        return;

    // Children are admitted one of each kind; one added behind the layout's
    // back past the first two is left alone.
    GuiObject* fixed = nullptr;
    GuiObject* expandable = nullptr;
    const auto& children = GetChildren();
    for (std::size_t i = 0; i < children.size() && i < 2; ++i) {
        GuiObject*& slot = IsExpandable(children[i]) ? expandable : fixed;
        if (slot == nullptr)
            slot = children[i];
    }
    if (fixed == nullptr) {
        if (expandable != nullptr)
            Place(expandable, 0, 0, width, height);
        return;
    }
    if (IsVertical()) {
        const int own = fixed->GetHeight();
        Place(fixed, 0, atEnd ? height - own : 0, width, own);
        if (expandable != nullptr)
            Place(expandable, 0, atEnd ? 0 : fixed->GetY() + own, width, height - own);
    } else {
        const int own = fixed->GetWidth();
        Place(fixed, atEnd ? width - own : 0, 0, own, height);
        if (expandable != nullptr)
            Place(expandable, atEnd ? 0 : fixed->GetX() + own, 0, width - own, height);
    }
}

template <class Arrangement> void FlowLayout_<Arrangement>::ArrangePadded()
{
    const int width = GetWidth();
    const int height = GetHeight();
    if (width <= 0 && height <= 0)
        return;
    const bool vertical = IsVertical();
    const auto& children = GetChildren();
    const std::size_t count = children.size();
    int p = 0;
    for (std::size_t i = 0; i < count; ++i) {
        GuiObject* child = children[i];
        if (IsExpandable(child)) {
            const GuiObject* previous = i > 0 ? children[i - 1] : nullptr;
            const GuiObject* next = i + 1 < count ? children[i + 1] : nullptr;
            int w = width;
            int h = height;
            if (previous == nullptr && next != nullptr) {
                if (vertical)
                    h = next->GetY();
                else
                    w = next->GetX();
            } else if (previous != nullptr && next == nullptr) {
                if (vertical)
                    h = height - (previous->GetY() + previous->GetHeight());
                else
                    w = width - (previous->GetX() + previous->GetWidth());
            } else if (previous != nullptr && next != nullptr) {
                if (vertical) {
                    w = child->GetWidth();
                    h = next->GetY() - (previous->GetY() + previous->GetHeight());
                } else {
                    w = next->GetX() - (previous->GetX() + previous->GetWidth());
                    h = child->GetHeight();
                }
            }
            Place(child, vertical ? 0 : p, vertical ? p : 0, w, h);
        }
        p += vertical ? child->GetHeight() : child->GetWidth();
    }
}

template class FlowLayout_<StartAligned>;
template class FlowLayout_<EndAligned>;
template class FlowLayout_<AbsolutePadded>;

} // namespace Vabo
