// GuiObject: collection and delivery of signals, built-in handlers of input signals,
// and the connection map.
#include <cstddef>
#include <utility>

#include "framework/core/DeliveryGuard.h"
#include "framework/core/GuiObject.h"
#include "framework/core/HostInputSignals.h"
#include "framework/core/InputSignals.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/ScreenManagerInterface.h"
#include "platform/TickRequest.h"

namespace Vabo {

namespace {

// Restores a flag when a send ends, also when a slot throws.
class FlagScope {
public:
    FlagScope(bool& flag, bool value)
        : flag_(flag)
        , saved_(flag)
    {
        flag_ = value;
    }
    ~FlagScope() { flag_ = saved_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool saved_;
};

// Shifts a positional signal's point for one receiver and puts it back afterwards.
class PointShift {
public:
    PointShift(Signal::Positional& signal, int dx, int dy)
        : signal_(signal)
        , x_(signal.x)
        , y_(signal.y)
    {
        signal_.dx = dx;
        signal_.dy = dy;
        signal_.x += dx;
        signal_.y += dy;
    }
    ~PointShift()
    {
        signal_.x = x_;
        signal_.y = y_;
    }
    PointShift(const PointShift&) = delete;
    PointShift& operator=(const PointShift&) = delete;

private:
    Signal::Positional& signal_;
    int x_;
    int y_;
};

// The host hands over the second press of a quick pair as a double click
// instead: for the built-in press it is a press like the first, so that a
// button takes every click, as desktop buttons do.
bool IsPress(const Signal::Base* signal)
{
    return signal->Is<Signal::LeftButtonDown>() || signal->Is<Signal::LeftButtonDblClk>();
}

bool HasBuiltInHandler(const Signal::Base* signal)
{
    return IsPress(signal) || signal->Is<Signal::LeftButtonUp>()
        || signal->Is<Signal::WindowActivated>() || signal->Is<Signal::SelectNextObject>()
        || signal->Is<Signal::ShowToolTip>() || signal->Is<Signal::Show>() || signal->Is<Signal::Hide>()
        || signal->Is<Signal::ConnectXMLSlots>();
}

} // namespace

void GuiObject::Raise(Signal::Base* signal)
{
    signal->SetSource(this);
    GetTopObject()->CollectReceivers(signal, true);
    Deliver(signal, nullptr);
}

void GuiObject::SendToSelf(Signal::Base* signal, GuiObject* object)
{
    signal->SetSource(this);
    FlagScope dispatching(dispatching_, true);
    CollectReceivers(signal, false);
    Deliver(signal, object);
}

bool GuiObject::PassesSignalToChildren(Signal::Base* signal)
{
    if (signal->IsBroadcast())
        return true;
    if (!IsVisible())
        return false;
    if (HasSelectedChild())
        return true;
    if (signal->IsPositional()) {
        auto* positional = static_cast<Signal::Positional*>(signal);
        return HitTest(positional->x, positional->y);
    }
    return false;
}

bool GuiObject::AcceptsSignal(Signal::Base* signal)
{
    if (signal->IsBroadcast() || dispatching_)
        return true;
    if (IsVisible() && IsSelected())
        return true;
    // A container that holds the selection moves it through its own tab list,
    // also when it cannot be selected itself (a row of buttons).
    if (signal->Is<Signal::SelectNextObject>() && !tabList_.empty() && IsVisible() && HasSelectedChild())
        return true;
    if (signal->IsPositional()) {
        auto* positional = static_cast<Signal::Positional*>(signal);
        return HitTest(positional->x, positional->y);
    }
    return false;
}

void GuiObject::CollectReceivers(Signal::Base* signal, bool recurse)
{
    if (recurse && PassesSignalToChildren(signal)) {
        // By index: a selection handled during collection may run slots that change
        // the children.
        for (std::size_t i = 0; i < children_.size(); ++i)
            children_[i]->CollectReceivers(signal, true);
    }
    if (!AcceptsSignal(signal))
        return;
    if (HasConnections(signal->GetTypeId()) || HasBuiltInHandler(signal)) {
        int dx = 0;
        int dy = 0;
        if (signal->IsPositional()) {
            auto* positional = static_cast<Signal::Positional*>(signal);
            std::swap(dx, positional->dx);
            std::swap(dy, positional->dy);
        }
        signal->AddReceiver(this, dx, dy);
    } else if (signal->Is<Signal::SelectObject>()) {
        OnSelectObject(signal, this);
    }
}

void GuiObject::Deliver(Signal::Base* signal, GuiObject* object)
{
    if (signal->IsPositional()) {
        DeliverPositional(signal, nullptr);
        return;
    }
    // The delivery serves the receivers collected for it: those appended while it
    // runs wait for the next one, and a signal object sent again (a key's bound
    // signal, an animation key's) does not reach its earlier receivers twice.
    DeliveryGuard delivering;
    for (const Signal::_Base::Receiver& receiver : signal->TakeReceivers())
        DeliverTo(receiver, signal, object);
}

void GuiObject::DeliverPositional(Signal::Base* signal, GuiObject* object)
{
    auto* positional = static_cast<Signal::Positional*>(signal);
    DeliveryGuard delivering;
    for (const Signal::_Base::Receiver& receiver : signal->TakeReceivers()) {
        PointShift shift(*positional, receiver.dx, receiver.dy);
        DeliverTo(receiver, signal, object);
    }
}

void GuiObject::DeliverTo(const Signal::_Base::Receiver& receiver, Signal::Base* signal, GuiObject* object)
{
    // A receiver destroyed by an earlier handler of this delivery is skipped.
    if (receiver.watch.expired())
        return;
    GuiObject* handler = object != nullptr ? object : receiver.object;
    receiver.object->DispatchBuiltIn(signal, handler);
    if (receiver.watch.expired())
        return;
    receiver.object->InvokeSlots(signal, handler, signal->GetSource());
}

void GuiObject::InvokeSlots(Signal::Base* signal, GuiObject* object, GuiObject* source)
{
    DeliveryGuard delivering;
    std::weak_ptr<void> self = Watch();
    if (auto anySource = FindSlotList(signal->GetTypeId(), 0))
        (*anySource)(signal, object);
    if (source == nullptr || self.expired())
        return;
    if (auto fromSource = FindSlotList(signal->GetTypeId(), source->GetId()))
        (*fromSource)(signal, object);
}

void GuiObject::DispatchBuiltIn(Signal::Base* signal, GuiObject* object)
{
    if (signal->Is<Signal::SelectObject>()) {
        OnSelectObject(signal, object);
    } else if (IsPress(signal)) {
        OnLeftButtonDown(signal, object);
    } else if (signal->Is<Signal::WindowActivated>()) {
        OnWindowActivated(signal, object);
    } else if (signal->Is<Signal::LeftButtonUp>()) {
        OnLeftButtonUp(signal, object);
    } else if (signal->Is<Signal::SelectNextObject>()) {
        OnSelectNextObject(signal, object);
    } else if (signal->Is<Signal::ConnectXMLSlots>()) {
        OnConnectXMLSlots(signal, object);
    } else if (signal->Is<Signal::ShowToolTip>()) {
        OnShowToolTip(signal, object);
    } else if (signal->Is<Signal::Show>()) {
        SlotShow(signal, object);
    } else if (signal->Is<Signal::Hide>()) {
        SlotHide(signal, object);
    }
}

void GuiObject::OnLeftButtonDown(Signal::Base* signal, GuiObject*)
{
    auto* press = static_cast<Signal::Positional*>(signal);
    if (focusOnClick_)
        GetScreenManager()->SetFocusObject(this);
    pressPoint_ = Point{press->x - OwnX(), press->y - OwnY()};
    pressed_ = IsVisible() && HitTest(press->x, press->y);
    Invalidate();
}

void GuiObject::OnLeftButtonUp(Signal::Base* signal, GuiObject*)
{
    auto* release = static_cast<Signal::Positional*>(signal);
    if (!pressed_ && ClickRequiresPress()) {
        pressed_ = false;
        Invalidate();
        return;
    }
    pressed_ = false;
    if (IsVisible() && HitTest(release->x, release->y)) {
        std::weak_ptr<void> self = Watch();
        Signal::Activate activate;
        InvokeSlots(&activate, this, signal->GetSource());
        if (self.expired())
            return;
        Signal::MouseClick click(release->x, release->y);
        InvokeSlots(&click, this, signal->GetSource());
        if (self.expired())
            return;
    }
    Invalidate();
}

void GuiObject::OnWindowActivated(Signal::Base* signal, GuiObject*)
{
    bool deactivated = static_cast<Signal::WindowActivated*>(signal)->deactivated;
    windowActive_ = !deactivated;
    if (!deactivated) {
        // The press that gave the window the focus (click to focus, as
        // window managers do) is still held and ends in its click; any
        // other press is over.
        if (pressed_ && !GetScreenManager()->IsLeftButtonHeld())
            pressed_ = false;
        return;
    }
    if (!keepSelectionOnDeactivation_)
        selected_ = false;
    ScreenManagerInterface* screenManager = GetScreenManager();
    screenManager->SetLeftButtonHeld(false);
    screenManager->SetRightButtonHeld(false);
}

void GuiObject::SlotHide(Signal::Base*, GuiObject*)
{
    SetVisible(false);
    Invalidate();
}

void GuiObject::SlotShow(Signal::Base*, GuiObject*)
{
    SetVisible(true);
    Invalidate();
}

void GuiObject::SlotActivate(Signal::Base*, GuiObject*)
{
    Signal::Activate activate;
    SendToSelf(&activate);
}

// GCC sees the empty slot group that signals2 builds for a plain connect as possibly
// uninitialised; it is not.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
Connection GuiObject::ConnectToList(int typeId, GuiObject* source, SlotFunction slot,
                                    const std::weak_ptr<void>& watch)
{
    std::shared_ptr<SlotList>& list = connections_[typeId][source != nullptr ? source->GetId() : 0];
    if (!list) {
        list = std::make_shared<SlotList>();
        ++receiverGeneration_;
    }
    // A new listener of the clock gets the next tick.
    if (typeId == Signal::TypeIdOf<Signal::Timer>())
        Platform::RequestNextTick();
    return list->connect(SlotList::slot_type(std::move(slot)).track_foreign(watch));
}
#pragma GCC diagnostic pop

Connection GuiObject::Connect(int typeId, GuiObject* source, SlotFunction slot, const std::weak_ptr<void>& watch)
{
    if (typeId == Signal::TypeIdOf<Signal::Timer>()) {
        // It does not say when it is next due: each tick it is served asks
        // for the next one.
        slot = [listener = std::move(slot)](Signal::Base* signal, GuiObject* object) {
            Platform::RequestNextTick();
            listener(signal, object);
        };
    }
    return ConnectToList(typeId, source, std::move(slot), watch);
}

Connection GuiObject::ConnectScheduledTick(SlotFunction slot, const std::weak_ptr<void>& watch)
{
    return ConnectToList(Signal::TypeIdOf<Signal::Timer>(), nullptr, std::move(slot), watch);
}

void GuiObject::Disconnect(Connection& connection, int typeId)
{
    connection.disconnect();
    auto type = connections_.find(typeId);
    if (type == connections_.end())
        return;
    // A list being invoked right now is held by its invoker until it returns.
    for (auto list = type->second.begin(); list != type->second.end();)
        list = list->second->empty() ? type->second.erase(list) : std::next(list);
    if (type->second.empty()) {
        connections_.erase(type);
        ++receiverGeneration_;
    }
}

bool GuiObject::HasConnections(int typeId) const
{
    return connections_.count(typeId) != 0;
}

std::shared_ptr<SlotList> GuiObject::FindSlotList(int typeId, int sourceId) const
{
    auto type = connections_.find(typeId);
    if (type == connections_.end())
        return nullptr;
    auto list = type->second.find(sourceId);
    return list == type->second.end() ? nullptr : list->second;
}

} // namespace Vabo
