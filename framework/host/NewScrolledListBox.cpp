#include "framework/host/NewScrolledListBox.h"

#include "framework/core/HostInputSignals.h"
#include "framework/core/InputSignals.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/Registration.h"
#include "framework/widgets/InvalidateWhenShown.h"
#include "platform/TickRequest.h"

namespace Vabo {

namespace {

RegisterClass<NewScrolledListBox>
    scrolledListBoxClass("Vabo::NewScrolledListBox", "$VABO/Objects/NewScrolledListBox/NewScrolledListBox.xml",
                         [](TiXmlElement* element) -> GuiObject* { return new NewScrolledListBox(element); });

// A page is three lines.
constexpr int kLinesPerPage = 3;

} // namespace

NewScrolledListBox::NewScrolledListBox(TiXmlElement* element)
    : ScrollWindow(element)
    , timedStart_(Platform::NowMs())
    , list_(element)
{
    SetContent(&list_);
    SetUnselectable(0);
    list_.AddSlot<Signal::SelectNextObject>(&NewScrolledListBox::OnSelectNextObject, this);
    AddSlot<Signal::MouseWheel>(&NewScrolledListBox::WheelStepSlot, this);
    AddScheduledTickSlot(&NewScrolledListBox::TimedScrollSlot, this);
}

NewScrolledListBox::~NewScrolledListBox()
{
    GetView().SetContent(nullptr);
}

bool NewScrolledListBox::SetSize(int width, int height)
{
    return ScrollWindow::SetSize(width, height);
}

std::shared_ptr<GuiObject> NewScrolledListBox::AddItem(const std::shared_ptr<GuiObject>& item, bool sort)
{
    list_.AddItem(item, sort);
    item->AddSlot<Signal::ObjectSelected>(&NewScrolledListBox::ForwardSelectionSlot, this);
    if (IsSelected() && list_.GetSelectedItem() == nullptr) {
        list_.UpdateLayout();
        list_.SelectIndex(0);
    }
    // A line is the height of the last item with one: an item of no height
    // (an empty text, a hidden row) would make a step of 0, and the arrows,
    // the wheel, the keys and bringing an item into view would not move.
    if (item->GetHeight() > 0)
        SetStepY(item->GetHeight());
    needsRelayout_ = true;
    return item;
}

void NewScrolledListBox::RemoveItemAt(int index)
{
    list_.RemoveItemAt(index);
    needsRelayout_ = true;
}

void NewScrolledListBox::RemoveAllItems()
{
    ResetScroll();
    list_.RemoveAllItems();
    SyncBars();
    needsRelayout_ = true;
}

bool NewScrolledListBox::SelectIndex(int index)
{
    GuiObject* item = list_.GetItemAt(index);
    if (item == nullptr)
        return false;
    ScrollIntoViewY(item);
    return list_.SelectIndex(index);
}

bool NewScrolledListBox::HighlightIndex(int index)
{
    GuiObject* item = list_.GetItemAt(index);
    if (item == nullptr)
        return false;
    ScrollIntoViewY(item);
    return list_.HighlightIndex(index);
}

void NewScrolledListBox::ForwardSelectionSlot(Signal::Base* signal, GuiObject* object)
{
    SendToSelf(signal, object);
}

void NewScrolledListBox::Relayout()
{
    SetPageY(kLinesPerPage);
    SetContent(&list_);
    SetLinesPerView(list_.GetItemCount());
    UpdateLayout();
    needsRelayout_ = false;
}

bool NewScrolledListBox::DrawSelf(GdiplusGfxLayer::Painter& painter)
{
    if (needsRelayout_)
        Relayout();
    return ScrollWindow::DrawSelf(painter);
}

void NewScrolledListBox::TabSelect()
{
    GuiObject* selected = list_.GetSelectedItem();
    if (selected != nullptr && !selected->IsSelected()) {
        ScrollIntoViewY(selected);
        list_.TabSelect();
    }
}

void NewScrolledListBox::OnSelectNextObject(Signal::Base* base, GuiObject*)
{
    auto* signal = static_cast<Signal::SelectNextObject*>(base);
    if (signal->chosen != nullptr) {
        ScrollIntoViewY(signal->chosen);
        if (!signal->chosen->IsSelected())
            signal->chosen->Select();
    }
    InvalidateWhenShown(*this);
}

void NewScrolledListBox::StartTimedScroll(int lines, int intervalMs)
{
    timedLines_ = lines;
    timedIntervalMs_ = intervalMs;
    timedProgress_ = 0;
    timedStart_ = Platform::NowMs();
    // No lines to go is no scroll: the step below always moves one first.
    timedActive_ = lines != 0;
    Platform::RequestNextTick();
}

void NewScrolledListBox::TimedScrollSlot(Signal::Base*, GuiObject*)
{
    if (!timedActive_)
        return;
    const Platform::Milliseconds now = Platform::NowMs();
    if (now - timedStart_ <= timedIntervalMs_) {
        Platform::RequestTickAt(timedStart_ + timedIntervalMs_ + 1);
        return;
    }
    timedStart_ = now;
    Platform::RequestTickAt(now + timedIntervalMs_ + 1);
    if (timedLines_ > 0) {
        ScrollLinesY(1);
        if (++timedProgress_ >= timedLines_) {
            timedActive_ = false;
            SelectIndex(list_.GetSelectedIndex() + timedLines_);
        }
    } else {
        ScrollLinesY(-1);
        if (--timedProgress_ <= timedLines_) {
            timedActive_ = false;
            SelectIndex(list_.GetSelectedIndex() + timedLines_);
        }
    }
    InvalidateWhenShown(*this);
}

void NewScrolledListBox::WheelStepSlot(Signal::Base* signal, GuiObject*)
{
    const int delta = static_cast<Signal::MouseWheel*>(signal)->delta;
    ScrollLinesY(delta < 1 ? 1 : -1);
    InvalidateWhenShown(*this);
}

} // namespace Vabo
