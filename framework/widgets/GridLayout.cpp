#include "framework/widgets/GridLayout.h"

#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/InputSignals.h"
#include "framework/core/Registration.h"
#include "framework/core/SkinLimits.h"
#include "framework/core/XmlDocument.h"
#include "platform/Log.h"
#include "framework/core/HostInputSignals.h"
#include "platform/TickRequest.h"

#include <tinyxml.h>

#include <algorithm>
#include <sstream>

namespace Vabo {
namespace {

// A content-sized child at a tiny fraction would make its layout absurdly
// large (or, at a denormal fraction, overflow the conversion to int).
constexpr float kMaxContentExtent = 1 << 16;

int ContentExtent(int childExtent, float fraction)
{
    if (!(fraction > 0.0f))
        return 0;
    const float extent = static_cast<float>(childExtent) / fraction;
    return static_cast<int>(std::clamp(extent, 0.0f, kMaxContentExtent));
}

std::string Text(const GridVal& value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

GuiObject* CreateGridLayout(TiXmlElement* element)
{
    return new GridLayout(element, true);
}

const RegisterClass<GridLayout> registerGridLayout("Vabo::GridLayout", "$VABO/Objects/GridLayout/GridLayout.xml",
                                                   CreateGridLayout);
const RegisterClassSlot<GridLayout, Signal::ScreenActivation>
    registerRestartAnimation("Vabo::GridLayout::SlotRestartAnimation", &GridLayout::SlotRestartAnimation);

} // namespace

GridLayout::GridLayout(TiXmlElement* element, bool constructFromXml)
    : LayoutBase(element)
    , constructFromXml_(constructFromXml)
{
    AddSlot<ObjectEditedSignal>(&GridLayout::ObjectEditedSlot, this);
    AddSlot<Signal::DropFile>(&GridLayout::EmptySlot, this);
    animationTick_ = AddScheduledTickSlot(&GridLayout::AnimationTimerSlot, this);
    animatable_ = true;
    RegisterLoader<GridLayout>(element, this);
    UpdateAnimation(true);
}

GridLayout::GridLayout() = default;

// The objects the factory built for this layout are released while it is
// still a grid layout; children it does not own are detached by the base.
GridLayout::~GridLayout()
{
    records_.clear();
    GlobalObjectFactory_::ObjectDestroyed(this);
}

bool GridLayout::LoadFromXML(TiXmlElement* element)
{
    return constructFromXml_ ? CreateObjects(element) : true;
}

bool GridLayout::AddObject(GuiObject* object, TiXmlElement* element, const Animation* animation)
{
    return AddLayoutRecord(object, std::make_shared<LayoutObject>(object, element, animation));
}

bool GridLayout::SetObjectRectFromXML(GuiObject* object, TiXmlElement* element)
{
    int x = 0, y = 0, width = 0, height = 0;
    if (!(ReadXmlAttribute(x, element, "XPos", true, kSkinLength)
          && ReadXmlAttribute(y, element, "YPos", true, kSkinLength)
          && ReadXmlAttribute(width, element, "Width", true, kSkinLength)
          && ReadXmlAttribute(height, element, "Height", true, kSkinLength)))
        return false;
    object->SetPosition(x, y);
    object->SetSize(width, height);
    return true;
}

bool GridLayout::ConfigureObjectLayout(GuiObject* object, TiXmlElement* element)
{
    GridVal x, y, width, height;
    if (!(x.ReadXmlLength(element, "XPos") && y.ReadXmlLength(element, "YPos")
          && width.ReadXmlLength(element, "Width") && height.ReadXmlLength(element, "Height")))
        return false;
    PlaceObject(object, x, y, width, height, false);
    return true;
}

int GridLayout::ResetCachedRect()
{
    cachedRect_ = Rect{-1, -1, -1, -1};
    return -1;
}

void GridLayout::ResolveObjectRect(GuiObject* object, const GridVal& x, const GridVal& y, const GridVal& width,
                                   const GridVal& height)
{
    const GridVal cx = x, cy = y, cwidth = width, cheight = height;
    const auto found = records_.find(object);
    if (found != records_.end()) {
        found->second->x = cx;
        found->second->y = cy;
        found->second->width = cwidth;
        found->second->height = cheight;
    }
    const int w = GetWidth();
    const int h = GetHeight();
    object->SetPosition(cx.Resolve(w), cy.Resolve(h));
    object->SetSize(cwidth.Resolve(w), cheight.Resolve(h));
    object->UpdateLayout();
}

void GridLayout::ApplyGridVals(GuiObject* object, const GridVal& x, const GridVal& y, const GridVal& width,
                               const GridVal& height)
{
    const int w = GetWidth();
    const int h = GetHeight();
    object->SetPosition(x.ResolveTruncated(w), y.ResolveTruncated(h));
    object->SetSize(width.ResolveTruncated(w), height.ResolveTruncated(h));
    object->UpdateLayout();
}

bool GridLayout::AddObjectAt(GuiObject* object, const GridVal& x, const GridVal& y, const GridVal& width,
                             const GridVal& height, TiXmlElement* element, const Animation* animation)
{
    return AddLayoutRecord(object, std::make_shared<LayoutObject>(object, x, y, width, height, element, animation));
}

bool GridLayout::AddObjectAtFractions(GuiObject* object, float x, float y, float width, float height,
                                      TiXmlElement* element, const Animation* animation)
{
    return AddObjectAt(object, GridVal(0, x), GridVal(0, y), GridVal(0, width), GridVal(0, height), element, animation);
}

bool GridLayout::AddDeclaredObject(GuiObject* object, const std::string& name)
{
    for (TiXmlElement* declared : XMLLoadSave::GetChildren(GetXmlElement(), "Object")) {
        std::string declaredName;
        ReadXmlAttribute(declaredName, declared, "Name", true);
        if (declaredName != name)
            continue;
        DllGlobalObjectFactoryInstance().RegisterAliases(name, object, this);
        if (HasChild(declared, "Animation")) {
            const Animation animation = CreateAnimation(GetChild(declared, "Animation"));
            return AddObject(object, declared, &animation);
        }
        return AddObject(object, declared, nullptr);
    }
    return false;
}

bool GridLayout::AddLayoutRecord(GuiObject* object, const std::shared_ptr<LayoutObject>& record)
{
    records_[object] = record;
    ResolveObjectRect(object, record->x, record->y, record->width, record->height);
    // A child placed again keeps its one place in the child list; a second
    // entry would draw it twice and run its slots twice. Its parent pointer
    // tells without a search through every sibling.
    if (object->GetParent() == this)
        return true;
    return AddChild(object, false);
}

void GridLayout::SlotRestartAnimation(Signal::Base*, GuiObject*)
{
    StartAnimation();
}

bool GridLayout::StartAnimation()
{
    if (animatable_ && !animationTick_.connected())
        animationTick_ = AddScheduledTickSlot(&GridLayout::AnimationTimerSlot, this);
    return LayoutBase::StartAnimation();
}

bool GridLayout::PlaceObject(GuiObject* object, const GridVal& x, const GridVal& y, const GridVal& width,
                             const GridVal& height, bool writeBack)
{
    const auto found = records_.find(object);
    if (found == records_.end())
        return false;
    LayoutObject& record = *found->second;
    record.x = x;
    record.y = y;
    record.width = width;
    record.height = height;
    if (writeBack && record.element != nullptr) {
        SetXmlAttribute(record.element, "XPos", Text(record.x));
        SetXmlAttribute(record.element, "YPos", Text(record.y));
        SetXmlAttribute(record.element, "Width", Text(record.width));
        SetXmlAttribute(record.element, "Height", Text(record.height));
    }
    ResolveObjectRect(object, record.x, record.y, record.width, record.height);
    return true;
}

bool GridLayout::GetLayoutObject(GuiObject* object, LayoutObject& record) const
{
    const auto found = records_.find(object);
    if (found == records_.end())
        return false;
    record = *found->second;
    return true;
}

void GridLayout::StoreObjectRect(GuiObject* object, LayoutObject& record, bool keepUnits)
{
    const auto store = [keepUnits](GridVal& value, int pixels, int extent) {
        if (!keepUnits)
            value.units = static_cast<float>(pixels)
                - static_cast<float>(GridVal(0.0f, value.percentage).ResolveTruncated(extent));
        else if (extent != 0)
            value.percentage = (static_cast<float>(pixels) - value.units) * (1.0f / static_cast<float>(extent));
    };
    store(record.x, object->GetX(), GetWidth());
    store(record.width, object->GetWidth(), GetWidth());
    store(record.y, object->GetY(), GetHeight());
    store(record.height, object->GetHeight(), GetHeight());
}

GuiObject* GridLayout::FindContentSizedChild()
{
    if (IsSizedFromContent())
        return this;
    for (GuiObject* child : GuiObject::GetChildren())
        if (child->IsSizedFromContent())
            return child;
    return nullptr;
}

void GridLayout::ClearChildren()
{
    ResetCachedRect();
    records_.clear();
    GuiObject::ClearChildren();
}

bool GridLayout::RemoveChild(GuiObject* child, bool update)
{
    ResetCachedRect();
    const bool removed = GuiObject::RemoveChild(child, update);
    return records_.erase(child) > 0 || removed;
}

void GridLayout::CalculateSize()
{
    GuiObject::CalculateSize();
    GuiObject* sized = FindContentSizedChild();
    const auto found = records_.find(sized);
    if (sized == nullptr || found == records_.end())
        return;
    SetSize(ContentExtent(sized->GetWidth(), found->second->width.percentage),
            ContentExtent(sized->GetHeight(), found->second->height.percentage));
    SetSizedFromContent(true);
}

void GridLayout::UpdateLayout()
{
    const Rect bounds = GetBounds();
    if (bounds == cachedRect_)
        return;
    cachedRect_ = bounds;
    if (bounds.width < 1 && bounds.height < 1)
        return;
    for (const auto& [object, record] : records_)
        ResolveObjectRect(object, record->x, record->y, record->width, record->height);
}

void GridLayout::ObjectEditedSlot(ObjectEditedSignal* signal, GuiObject*)
{
    const auto found = records_.find(signal->object);
    if (found == records_.end())
        return;
    LayoutObject& record = *found->second;
    StoreObjectRect(signal->object, record, signal->keepUnits);
    PlaceObject(signal->object, record.x, record.y, record.width, record.height, true);
}

// Files dropped on a layout reach it as a receiver; the layout itself has no
// use for them.
void GridLayout::EmptySlot(Signal::Base*, GuiObject*) { }

void GridLayout::AnimationTimerSlot(Signal::Base*, GuiObject*)
{
    if (IsAnimating() && UpdateAnimation(false))
        Invalidate();
    if (IsAnimating())
        Platform::RequestTickAt(NextAnimationKeyAt());
    else
        Disconnect(animationTick_, Signal::TypeIdOf<Signal::Timer>());
}

} // namespace Vabo
