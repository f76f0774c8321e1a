#include "framework/widgets/LargeFocusContainer.h"

#include "framework/core/InputSignals.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/Registration.h"
#include "framework/core/SkinFileOf.h"
#include "platform/Log.h"
#include "platform/TickRequest.h"

#include <algorithm>
#include <cmath>

namespace Vabo {
namespace {

const RegisterClass<LargeFocusContainer>
    registerLargeFocusContainer("Vabo::LargeFocusContainer",
                                "$VABO/Objects/LargeFocusContainer/LargeFocusContainer.xml",
                                [](TiXmlElement* e) { return new LargeFocusContainer(e); });

// The largest shares of the extent a focused object may take.
constexpr float kHalf = 0.5f;
constexpr float kTwoSevenths = 2.0f / 7.0f;

GridVal Step(const GridVal& from, const GridVal& to, float steps)
{
    return GridVal((to.units - from.units) / steps, (to.percentage - from.percentage) / steps);
}

} // namespace

LargeFocusContainer::LargeFocusContainer(TiXmlElement* element)
    : GridLayout(element, true)
    , lastTick_(Platform::NowMs())
{
    RegisterLoader<LargeFocusContainer>(element, this);
    SetUnselectable(0);
    Select();
    AddScheduledTickSlot(&LargeFocusContainer::AnimationTickSlot, this);
}

// The wrappers leave while this is still a whole container.
LargeFocusContainer::~LargeFocusContainer()
{
    for (const auto& wrapper : wrappers_)
        RemoveChild(wrapper.get(), false);
}

bool LargeFocusContainer::LoadFromXML(TiXmlElement* element)
{
    if (!ReadXmlAttribute(animationPeriod_, element, "AnimationPeriod", false, kSkinTimeMs))
        ReportDefault(element, "AnimationPeriod", std::to_string(kDefaultAnimationPeriod));
    if (!ReadXmlAttribute(animationSteps_, element, "AnimationSteps", false, kSkinSteps))
        ReportDefault(element, "AnimationSteps", std::to_string(kDefaultAnimationSteps));
    if (!ReadXmlAttribute(aspectRatio_, element, "AspectRatio", false, kSkinFactor) || !(aspectRatio_ > 0)
        || !std::isfinite(aspectRatio_)) {
        aspectRatio_ = kDefaultAspectRatio;
        ReportDefault(element, "AspectRatio", "1");
    }
    std::string orientation;
    if (!ReadXmlAttribute(orientation, element, "Orientation", false))
        ReportDefault(element, "Orientation", "Horizontal");
    vertical_ = orientation == "Vertical";
    if (!ReadXmlAttribute(objectXml_, element, "ObjectXML", false))
        ReportDefault(element, "ObjectXML", "");
    return true;
}

void LargeFocusContainer::ReportDefault(TiXmlElement* element, const char* attribute, const std::string& value) const
{
    Platform::Log("LargeFocusContainer \"" + GetName() + "\" (" + SkinFileOf(element) + "): no usable " + attribute
                  + ", using \"" + value + "\"");
}

void LargeFocusContainer::AddObject(std::shared_ptr<GuiObject> object, int index, int count)
{
    if (index == 0)
        pending_.clear();
    if (!object)
        return;
    auto wrapper = std::make_shared<AspectPreservingContainer>(object, aspectRatio_);
    wrapper->SetUnselectable(0);
    object->SetUnselectable(0);
    object->AddSlot<Signal::ObjectSelected>(&LargeFocusContainer::FocusOnSelectSlot, this);
    pending_.push_back(wrapper);
    if (index == count - 1)
        SetObjects(pending_);
}

void LargeFocusContainer::SetObjects(const Wrappers& wrappers)
{
    if (wrappers.empty())
        return;
    // Wrappers of an earlier set that the owner did not take out would stay
    // drawn over the new slices.
    for (const auto& old : wrappers_) {
        RemoveTabObject(old.get());
        if (std::find(wrappers.begin(), wrappers.end(), old) == wrappers.end())
            RemoveChild(old.get(), false);
    }
    wrappers_ = wrappers;
    arrangedAround_ = nullptr;
    const std::size_t count = wrappers_.size();
    // Steps still queued belong to the old set: the new one starts in equal
    // slices and stays there.
    queues_.assign(count, {});
    positions_.clear();
    const float size = 1.0f / static_cast<float>(count);
    for (std::size_t i = 0; i < count; ++i) {
        AspectPreservingContainer* wrapper = wrappers_[i].get();
        positions_[wrapper->GetObject()] = i;
        const LayoutObject slice = MakeSliceRecord(wrapper, static_cast<float>(i) * size, size);
        AddObjectAt(wrapper, slice.x, slice.y, slice.width, slice.height);
        // The keys walk the objects in their order along the row or column.
        const int place = static_cast<int>(i);
        PlaceInTabList(wrapper, vertical_ ? 0 : place, vertical_ ? place : 0);
    }
}

void LargeFocusContainer::RemoveAllObjects()
{
    const Wrappers removed = std::move(wrappers_);
    wrappers_.clear();
    arrangedAround_ = nullptr;
    queues_.clear();
    positions_.clear();
    for (const auto& wrapper : removed) {
        RemoveTabObject(wrapper.get());
        RemoveChild(wrapper.get(), false);
    }
}

LayoutObject LargeFocusContainer::MakeSliceRecord(AspectPreservingContainer* wrapper, float start, float size) const
{
    if (vertical_)
        return LayoutObject(wrapper, GridVal(0, 0), GridVal(0, start), GridVal(0, 1), GridVal(0, size), nullptr,
                            nullptr);
    return LayoutObject(wrapper, GridVal(0, start), GridVal(0, 0), GridVal(0, size), GridVal(0, 1), nullptr, nullptr);
}

void LargeFocusContainer::AnimateTo(std::size_t position, const LayoutObject& target)
{
    AspectPreservingContainer* wrapper = wrappers_[position].get();
    LayoutObject current;
    if (!GetLayoutObject(wrapper, current))
        return;
    std::deque<LayoutObject>& queue = queues_[position];
    // The newest arrangement wins, also over steps still queued for an
    // earlier one when the wrapper already stands where the newest wants it.
    queue.clear();
    if (target == current)
        return;
    if (animationSteps_ <= 0) {
        Apply(position, target);
        return;
    }
    const float steps = static_cast<float>(animationSteps_);
    const GridVal dx = Step(current.x, target.x, steps);
    const GridVal dy = Step(current.y, target.y, steps);
    const GridVal dw = Step(current.width, target.width, steps);
    const GridVal dh = Step(current.height, target.height, steps);
    LayoutObject step = current;
    for (int i = 1; i < animationSteps_; ++i) {
        step.x += dx;
        step.y += dy;
        step.width += dw;
        step.height += dh;
        queue.push_back(step);
    }
    queue.push_back(target);
    Platform::RequestNextTick();
}

void LargeFocusContainer::Apply(std::size_t position, const LayoutObject& record)
{
    AspectPreservingContainer* wrapper = wrappers_[position].get();
    wrapper->Invalidate();
    ResolveObjectRect(wrapper, record.x, record.y, record.width, record.height);
    wrapper->Invalidate();
}

void LargeFocusContainer::AnimationTickSlot(Signal::Base*, GuiObject*)
{
    const Platform::Milliseconds now = Platform::NowMs();
    const bool moving = std::any_of(queues_.begin(), queues_.end(), [](const auto& queue) { return !queue.empty(); });
    if (moving)
        Platform::RequestTickAt(std::max(lastTick_, now - animationPeriod_) + animationPeriod_);
    if (now - lastTick_ < animationPeriod_)
        return;
    for (std::size_t i = 0; i < queues_.size() && i < wrappers_.size(); ++i) {
        if (queues_[i].empty())
            continue;
        const LayoutObject record = queues_[i].front();
        queues_[i].pop_front();
        Apply(i, record);
    }
    lastTick_ = now;
}

void LargeFocusContainer::ArrangeEqually()
{
    const std::size_t count = wrappers_.size();
    arrangedAround_ = nullptr;
    if (count > 0) {
        const float size = 1.0f / static_cast<float>(count);
        for (std::size_t i = 0; i < count; ++i)
            AnimateTo(i, MakeSliceRecord(wrappers_[i].get(), static_cast<float>(i) * size, size));
    }
    UpdateLayout();
}

void LargeFocusContainer::SetFocusObject(GuiObject* object)
{
    const auto found = positions_.find(object);
    if (found == positions_.end())
        return;
    if (object == arrangedAround_ && GetWidth() == arrangedWidth_ && GetHeight() == arrangedHeight_)
        return;
    arrangedAround_ = object;
    arrangedWidth_ = GetWidth();
    arrangedHeight_ = GetHeight();
    const std::size_t k = found->second;
    const std::size_t n = wrappers_.size();

    // The share of the extent the focused object would fill if it had the
    // whole container, limited.
    const LayoutObject fit = wrappers_[k]->ComputeChildRecord(GetWidth(), GetHeight());
    float f = vertical_ ? fit.height.percentage : fit.width.percentage;
    if (f > kHalf)
        f = kHalf;
    else if (f > kTwoSevenths)
        f = kTwoSevenths;

    float g = f * 2.0f / 3.0f;
    float rest = 1.0f - f;
    float others = static_cast<float>(n - 1);
    float cover = f;
    if (f != kHalf) {
        const float neighbours = static_cast<float>(std::min<std::size_t>(n > 2 ? n - 2 : 0, 2));
        others -= neighbours;
        rest -= neighbours * g;
        cover = f + neighbours * g;
    }
    const float mediumSmall = g * 2.0f / 3.0f;
    const float small = others > 0 ? std::min(rest / others, mediumSmall) : mediumSmall;
    if (f == kHalf)
        g = small;

    // Scaled down when the slices would not fit; centred when they cover
    // less than the whole.
    const float total = others * small + cover;
    const float scale = 1.0f / std::max(total, 1.0f);
    float p = 0.5f - 0.5f * std::min(total, 1.0f);
    const auto place = [&](std::size_t i, float size) {
        AnimateTo(i, MakeSliceRecord(wrappers_[i].get(), p, size * scale));
        p += size * scale;
    };
    for (std::size_t i = 0; i + 1 < k; ++i)
        place(i, small);
    if (k > 0)
        place(k - 1, g);
    place(k, f);
    if (k + 1 < n)
        place(k + 1, g);
    for (std::size_t i = k + 2; i < n; ++i)
        place(i, small);
    UpdateLayout();
}

void LargeFocusContainer::FocusOnSelectSlot(Signal::Base*, GuiObject* object)
{
    if (focusOnSelect_)
        SetFocusObject(object);
}

bool LargeFocusContainer::HasSelectedObjectBesides(const GuiObject* object) const
{
    return std::any_of(wrappers_.begin(), wrappers_.end(), [object](const auto& wrapper) {
        return wrapper->GetObject() != object && wrapper->GetObject()->IsSelected();
    });
}

} // namespace Vabo
