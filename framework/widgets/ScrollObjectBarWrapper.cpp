#include "framework/widgets/ScrollObjectBarWrapper.h"

#include <tinyxml.h>

#include "framework/core/ObjectSignals.h"

namespace Vabo {

ScrollObject::BarWrapper::BarWrapper(TiXmlElement* element)
    : FlowLayoutStartAligned(element)
    , inner_(element)
    , start_(GetChild(element, "Start"))
    , middle_(GetChild(element, "Middle"))
    , end_(GetChild(element, "End"))
{
    RegisterLoader<BarWrapper>(element, this);
    SetUnselectable(0);
    AddSlot<Signal::SelectObject>(&BarWrapper::IgnoreSelection, this);
}

ScrollObject::BarWrapper::~BarWrapper() = default;

bool ScrollObject::BarWrapper::LoadFromXML(TiXmlElement* element)
{
    if (!loaded_) {
        AddObject(&start_);
        inner_.AddObject(&end_);
        inner_.AddObjectWithExtent(&middle_, kExpandable);
        AddObjectWithExtent(&inner_, kExpandable);
        loaded_ = true;
    }
    if (!ReadXmlAttribute(endThickness_, element, "EndThicknessInPixels", true, kSkinSize))
        return false;
    SizeCaps();
    return true;
}

void ScrollObject::BarWrapper::SizeCaps()
{
    if (IsVertical()) {
        start_.SetSize(GetWidth(), endThickness_);
        end_.SetSize(GetWidth(), endThickness_);
    } else {
        start_.SetSize(endThickness_, GetHeight());
        end_.SetSize(endThickness_, GetHeight());
    }
}

bool ScrollObject::BarWrapper::SetSize(int width, int height)
{
    const bool result = FlowLayoutStartAligned::SetSize(width, height);
    SizeCaps();
    if (IsVertical())
        middle_.SetSize(GetWidth(), middle_.GetHeight());
    else
        middle_.SetSize(middle_.GetWidth(), GetHeight());
    UpdateLayout();
    return result;
}

bool ScrollObject::BarWrapper::Render(GdiplusGfxLayer::Painter& painter)
{
    const bool pressed = IsChildPressed();
    start_.SetPressed(pressed);
    middle_.SetPressed(pressed);
    end_.SetPressed(pressed);
    return FlowLayoutStartAligned::Render(painter);
}

void ScrollObject::BarWrapper::OnSelectObject(Signal::Base* signal, GuiObject* object)
{
    FlowLayoutStartAligned::OnSelectObject(signal, object);
    auto* selection = static_cast<Signal::SelectObject*>(signal);
    const bool selected = IsSelected();
    start_.SetSelectedBySignal(selection, selected);
    middle_.SetSelectedBySignal(selection, selected);
    end_.SetSelectedBySignal(selection, selected);
}

void ScrollObject::BarWrapper::IgnoreSelection(Signal::Base*, GuiObject*) { }

} // namespace Vabo
