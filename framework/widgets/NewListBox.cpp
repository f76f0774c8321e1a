#include "framework/widgets/NewListBox.h"

#include <tinyxml.h>

#include <algorithm>

#include "framework/core/ObjectSignals.h"
#include "framework/core/Registration.h"
#include "framework/drawing/Painter.h"
#include "framework/widgets/InvalidateWhenShown.h"

namespace Vabo {

namespace {

RegisterClass<NewListBox> listBoxClass("Vabo::NewListBox", "$VABO/Objects/NewListBox/NewListBox.xml",
                                       [](TiXmlElement* element) -> GuiObject* { return new NewListBox(element); });

constexpr int kSelectUp = 2;
constexpr int kSelectDown = 3;

} // namespace

NewListBox::NewListBox(TiXmlElement* element)
    : GridLayout(element, true)
{
    RegisterLoader<NewListBox>(element, this);
    // Selected with its items, so the keys that move the selection reach it.
    SetUnselectable(0);
}

NewListBox::~NewListBox() = default;

bool NewListBox::LoadFromXML(TiXmlElement* element)
{
    try {
        ReadXmlAttribute(overlayColor_, element, "ActiveOverlayColor", true);
    } catch (const XMLLoadSaveException&) {
        overlayColor_ = std::make_shared<GdiplusGfxLayer::Color>(100, 128, 128, 128);
        throw;
    }
    return overlayColor_ != nullptr;
}

int NewListBox::GetHeight() const
{
    int height = 0;
    for (const auto& item : items_)
        height += item->GetHeight();
    return height;
}

int NewListBox::IndexOf(const GuiObject* object) const
{
    if (object == nullptr)
        return -1;
    const auto& children = GetChildren();
    const auto found = std::find(children.begin(), children.end(), object);
    return found == children.end() ? -1 : static_cast<int>(found - children.begin());
}

GuiObject* NewListBox::GetItemAt(int index) const
{
    const auto& children = GetChildren();
    if (index < 0 || index >= static_cast<int>(children.size()))
        return nullptr;
    return children[static_cast<std::size_t>(index)];
}

bool NewListBox::SelectIndex(int index)
{
    GuiObject* item = GetItemAt(index);
    if (item == nullptr)
        return false;
    item->Select();
    selected_ = item;
    return true;
}

bool NewListBox::HighlightIndex(int index)
{
    GuiObject* item = GetItemAt(index);
    if (item == nullptr)
        return false;
    highlighted_ = item;
    return true;
}

void NewListBox::SetHighlightItem(Signal::Base*, GuiObject* object)
{
    highlighted_ = object;
    InvalidateWhenShown(*this);
}

std::shared_ptr<GuiObject> NewListBox::AddItem(const std::shared_ptr<GuiObject>& item, bool)
{
    const int selectedIndex = GetSelectedIndex();
    // Below every item added before it.
    const int y = GetHeight();
    items_.push_back(item);
    item->SetUnselectable(0);
    SetSize(std::max(GetWidth(), item->GetWidth()), y + item->GetHeight());
    AddObjectAt(item.get(), GridVal(0, 0), GridVal(static_cast<float>(y), 0), GridVal(0, 1),
                GridVal(static_cast<float>(item->GetHeight()), 0));
    UpdateLayout();
    item->AddSlot<Signal::Activate>(&NewListBox::SetHighlightItem, this);
    if (selectedIndex >= 0 && GetItemAt(selectedIndex) != selected_) {
        UpdateLayout();
        SelectIndex(selectedIndex);
    }
    return item;
}

void NewListBox::Restack()
{
    int y = 0;
    for (GuiObject* child : GetChildren()) {
        const int height = child->GetHeight();
        AddObjectAt(child, GridVal(0, 0), GridVal(static_cast<float>(y), 0), GridVal(0, 1),
                    GridVal(static_cast<float>(height), 0));
        y += height;
    }
    SetSize(GetWidth(), y);
    UpdateLayout();
}

void NewListBox::RemoveItemAt(int index)
{
    GuiObject* item = GetItemAt(index);
    if (item == nullptr)
        return;
    if (selected_ == item)
        selected_ = nullptr;
    if (highlighted_ == item)
        highlighted_ = nullptr;
    RemoveChild(item, false);
    items_.remove_if([item](const std::shared_ptr<GuiObject>& held) { return held.get() == item; });
    Restack();
}

void NewListBox::RemoveAllItems()
{
    ClearChildren();
    parked_.splice(parked_.end(), items_);
    selected_ = nullptr;
    highlighted_ = nullptr;
    SetSize(GetWidth(), 0);
}

GuiObject* NewListBox::FindFirstItem() const
{
    for (GuiObject* child : GetChildren())
        if (child->IsSelected())
            return child;
    return nullptr;
}

int NewListBox::GetHighlightIndex() const
{
    return IndexOf(highlighted_);
}

int NewListBox::GetSelectedIndex() const
{
    return IndexOf(FindFirstItem());
}

bool NewListBox::DrawSelf(GdiplusGfxLayer::Painter& painter)
{
    if (highlighted_ != nullptr && overlayColor_)
        painter.FillRect(
            Rect{highlighted_->GetX() + GetX(), highlighted_->GetY() + GetY(), GetWidth(), highlighted_->GetHeight()},
            *overlayColor_);
    GridLayout::DrawSelf(painter);
    return true;
}

void NewListBox::TabSelect()
{
    if (selected_ == nullptr)
        SelectIndex(0);
    else
        selected_->Select();
}

void NewListBox::OnSelectObject(Signal::Base* signal, GuiObject* object)
{
    GridLayout::OnSelectObject(signal, object);
    if (inTabSelect_ || !IsSelected())
        return;
    if (!HasSelectedChild()) {
        inTabSelect_ = true;
        TabSelect();
        inTabSelect_ = false;
        InvalidateWhenShown(*this);
    }
    selected_ = FindFirstItem();
}

void NewListBox::OnSelectNextObject(Signal::Base* base, GuiObject*)
{
    auto* signal = static_cast<Signal::SelectNextObject*>(base);
    if (signal->chosen != nullptr)
        return;
    const int current = IndexOf(FindFirstItem());
    if (current < 0) {
        TabSelect();
        InvalidateWhenShown(*this);
        return;
    }
    GuiObject* next = nullptr;
    if (signal->direction == kSelectDown)
        next = GetItemAt(current + 1);
    else if (signal->direction == kSelectUp && current > 0)
        next = GetItemAt(current - 1);
    if (next == nullptr)
        return;
    next->Select();
    selected_ = next;
    signal->chosen = next;
    InvalidateWhenShown(*this);
}

} // namespace Vabo
