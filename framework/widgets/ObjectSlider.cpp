#include "framework/widgets/ObjectSlider.h"

#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/HostInputSignals.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/Registration.h"
#include "framework/core/XmlDocument.h"
#include "framework/widgets/InvalidateWhenShown.h"
#include "framework/widgets/ObjectSliderSignal.h"
#include "platform/Log.h"

namespace Vabo {

namespace {

RegisterClass<ObjectSlider> sliderClass("Vabo::ObjectSlider", "$VABO/Objects/ObjectSlider/ObjectSlider.xml",
                                        [](TiXmlElement* element) -> GuiObject* { return new ObjectSlider(element); });
SignalRegistrar<Signal::ObjectSliderSignal> sliderSignal("Vabo::Signal::ObjectSliderSignal");

// Children that the framework reads for its own purposes, not step objects.
bool IsPartDefinition(const TiXmlElement* element)
{
    const std::string& tag = element->ValueStr();
    return tag != "Connect" && tag != "Alias" && tag != "CreateObject" && tag != "Object";
}

// The directions of Up and Down in keyboard navigation.
constexpr int kSelectUp = 2;
constexpr int kSelectDown = 3;

} // namespace

ObjectSlider::ObjectSlider(TiXmlElement* element)
    : GridLayout(element, true)
{
    RegisterLoader<ObjectSlider>(element, this);
    value_ = min_;
    range_ = max_ - min_;
    currentPart_ = parts_.empty() ? nullptr : parts_.front();
    AddSlot<Signal::LeftButtonDown>(&ObjectSlider::OnMouseDown, this);
    AddSlot<Signal::LeftButtonUp>(&ObjectSlider::OnMouseUp, this);
    AddSlot<Signal::MouseMove>(&ObjectSlider::OnMouseMove, this);
}

ObjectSlider::~ObjectSlider() = default;

void ObjectSlider::Refuse(TiXmlElement* element, const std::string& why)
{
    Platform::Log("ObjectSlider \"" + GetName() + "\" in " + XmlDocument::FileNameOf(element) + ": " + why);
    throw XMLLoadSaveException();
}

bool ObjectSlider::LoadFromXML(TiXmlElement* element)
{
    SetUnselectable(false);
    if (loaded_)
        return true;
    std::string orientation;
    ReadXmlAttribute(orientation, element, "Orientation", true);
    horizontal_ = orientation == "Vertical" ? 0 : 1;
    ReadXmlAttribute(min_, element, "Min", true, kSkinValue);
    ReadXmlAttribute(max_, element, "Max", true, kSkinValue);
    ReadXmlAttribute(readOnly_, element, "ReadOnly", false);
    if (min_ > max_)
        Refuse(element, "Min " + std::to_string(min_) + " is above Max " + std::to_string(max_));

    std::vector<std::shared_ptr<GuiObject>> parts;
    for (TiXmlElement* child : GetChildren(element, "")) {
        if (!IsPartDefinition(child))
            continue;
        std::shared_ptr<GuiObject> part = DllGlobalObjectFactoryInstance().Create(child);
        if (!part)
            Refuse(element, "its part " + child->ValueStr() + " cannot be built");
        parts.push_back(part);
    }
    if (parts.empty())
        Refuse(element, "it has no parts to show");
    parts_ = parts;
    for (const auto& part : parts_) {
        part->SetVisible(false);
        AddObjectAtFractions(part.get(), 0.0f, 0.0f, 1.0f, 1.0f);
    }
    loaded_ = true;
    return true;
}

std::size_t ObjectSlider::PartIndex() const
{
    if (range_ == 0 || parts_.empty())
        return 0;
    const double fraction = static_cast<double>(value_ - min_) / range_;
    const long index = std::lround(fraction * static_cast<double>(parts_.size() - 1));
    return static_cast<std::size_t>(std::clamp(index, 0L, static_cast<long>(parts_.size() - 1)));
}

void ObjectSlider::OnSelectNextObject(Signal::Base* base, GuiObject* object)
{
    auto* signal = static_cast<Signal::SelectNextObject*>(base);
    const bool vertical = signal->direction == kSelectUp || signal->direction == kSelectDown;
    if (!vertical || readOnly_ || signal->chosen != nullptr || !IsSelected()) {
        GridLayout::OnSelectNextObject(base, object);
        return;
    }
    const int step = std::max(1, range_ / 20);
    SetValue(value_ + (signal->direction == kSelectUp ? step : -step));
    signal->chosen = this;
}

void ObjectSlider::SetValue(int value)
{
    value_ = std::clamp(value, min_, max_);
    if (currentPart_)
        currentPart_->SetVisible(false);
    if (!parts_.empty()) {
        currentPart_ = parts_[PartIndex()];
        currentPart_->SetVisible(true);
    }
    Signal::ObjectSliderSignal changed(value_);
    SendToSelf(&changed);
    InvalidateWhenShown(*this);
}

int ObjectSlider::PositionToValue(const Point& point) const
{
    const int extent = horizontal_ == 1 ? GetWidth() : GetHeight();
    // Before its first layout the slider has no extent to measure along.
    if (extent <= 0)
        return value_;
    // A pointer beyond either end stands at that end.
    const auto along = [extent](double offset) { return std::clamp(offset / extent, 0.0, 1.0); };
    if (horizontal_ == 1)
        return min_ + static_cast<int>(std::lround(along(static_cast<double>(point.x) - GetWindowX()) * range_));
    if (horizontal_ == 0)
        return max_ - static_cast<int>(std::lround(along(static_cast<double>(point.y) - GetWindowY()) * range_));
    return min_;
}

void ObjectSlider::OnMouseDown(Signal::Base* signal, GuiObject*)
{
    if (readOnly_ || parts_.empty())
        return;
    auto* press = static_cast<Signal::Positional*>(signal);
    dragging_ = true;
    SetValue(PositionToValue(Point{press->x, press->y}));
}

void ObjectSlider::OnMouseMove(Signal::Base* signal, GuiObject*)
{
    if (readOnly_ || parts_.empty() || !dragging_)
        return;
    auto* move = static_cast<Signal::Positional*>(signal);
    SetValue(PositionToValue(Point{move->x, move->y}));
}

void ObjectSlider::OnMouseUp(Signal::Base*, GuiObject*)
{
    if (!readOnly_)
        dragging_ = false;
}

} // namespace Vabo
