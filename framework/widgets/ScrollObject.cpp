#include "framework/widgets/ScrollObject.h"

#include <tinyxml.h>

#include <algorithm>
#include <string>
#include <utility>

#include "framework/core/HostInputSignals.h"
#include "framework/core/Registration.h"
#include "framework/widgets/InvalidateWhenShown.h"
#include "framework/widgets/ScrollObjectBarWrapper.h"
#include "framework/widgets/ScrollObjectSignal.h"

namespace Vabo {

namespace {

SignalRegistrar<Signal::ScrollObjectSignal> scrollObjectSignal("Vabo::Signal::ScrollObjectSignal");

} // namespace

ScrollObject::ScrollObject(TiXmlElement* element)
    : FlowLayoutAbsolutePadded(element)
    , leadingTrack_(GetChild(element, "Buffer"))
    , trailingTrack_(GetChild(element, "Buffer"))
    , bar_(std::make_unique<BarWrapper>(GetChild(element, "Bar")))
{
    RegisterLoader<ScrollObject>(element, this);
}

ScrollObject::~ScrollObject() = default;

bool ScrollObject::LoadFromXML(TiXmlElement* element)
{
    std::string orientation;
    std::string callbackMode;
    const bool complete = ReadXmlAttribute(orientation, element, "Orientation", true)
        && ReadXmlAttribute(callbackMode, element, "CallbackMode", true)
        && ReadXmlAttribute(minimumBarSize_, element, "MinimumBarSize", true, kSkinSize);
    if (!complete)
        return false;
    vertical_ = orientation == "Vertical";
    if (!loaded_) {
        AddObjectWithExtent(&leadingTrack_, kExpandable);
        AddObjectWithExtent(bar_.get(), 0);
        AddObjectWithExtent(&trailingTrack_, kExpandable);
        if (callbackMode == "Enabled") {
            bar_->AddSlot<Signal::LeftButtonDown>(&ScrollObject::DragStartSlot, this);
            bar_->AddSlot<Signal::LeftButtonUp>(&ScrollObject::DragEndSlot, this);
            bar_->AddSlot<Signal::MouseMove>(&ScrollObject::DragSlot, this);
        }
        loaded_ = true;
    }
    float initial = 0.0f;
    if (ReadXmlAttribute(initial, element, "InitialBarSizePercentage", false, kSkinShare))
        SetBarFraction(initial);
    return true;
}

bool ScrollObject::SetSize(int width, int height)
{
    const bool result = FlowLayoutAbsolutePadded::SetSize(width, height);
    SetBarFraction(barFraction_);
    return result;
}

void ScrollObject::SetBarFraction(float fraction)
{
    if (fraction >= 1.0f)
        fraction = 1.0f;
    else if (!(fraction > 0.0f))
        fraction = 0.0f;
    int width = GetWidth();
    int height = GetHeight();
    int& length = vertical_ ? height : width;
    length = static_cast<int>(static_cast<float>(length) * fraction);
    if (fraction > 0.0f && length <= minimumBarSize_)
        length = minimumBarSize_;
    bar_->SetSize(width, height);
    UpdateLayout();
    barFraction_ = fraction;
}

int ScrollObject::GetTravel() const
{
    return GetAxisExtent() - GetBarLength();
}

int ScrollObject::MoveBar(int delta, bool emit)
{
    if (dragging_ && !followingDrag_)
        movedBesideDrag_ = true;
    const int wanted = GetBarPosition() + delta;
    const int limit = std::max(GetAxisExtent() - GetBarLength(), 0);
    const int placed = std::clamp(wanted, 0, limit);
    if (vertical_)
        bar_->SetPosition(bar_->GetX(), placed);
    else
        bar_->SetPosition(placed, bar_->GetY());
    UpdateLayout();
    const int result = (wanted - placed) + delta;
    if (emit) {
        if (placed >= limit)
            Emit(Signal::ScrollObjectSignal::Forward, Signal::ScrollObjectSignal::AtEnd, delta);
        else if (placed <= 0)
            Emit(Signal::ScrollObjectSignal::Forward, Signal::ScrollObjectSignal::AtStart, delta);
        else
            Emit(Signal::ScrollObjectSignal::Forward, Signal::ScrollObjectSignal::Pixels, result);
    }
    return result;
}

void ScrollObject::Emit(int direction, int kind, int amount)
{
    Signal::ScrollObjectSignal moved(!vertical_, direction, kind, amount);
    SendToSelf(&moved);
}

int ScrollObject::WindowAxisStart() const
{
    return vertical_ ? GetWindowY() : GetWindowX();
}

void ScrollObject::DragStartSlot(Signal::Base* signal, GuiObject*)
{
    auto* press = static_cast<Signal::Positional*>(signal);
    if (!bar_->IsVisible() || !bar_->HitTest(press->x, press->y))
        return;
    dragging_ = true;
    bar_->SetForceSelected(true);
    dragAnchor_ = vertical_ ? press->y : press->x;
    dragPlace_ = GetBarPosition();
    movedBesideDrag_ = false;
}

// The bar goes where the pointer takes it from where the drag last put it,
// not from where it stands: whoever listens may set it on a tic of its own
// choosing, and a slow drag would otherwise stay on that tic for ever. A bar
// moved since by something else (a wheel step, a key) goes on from there, or
// the next move of the pointer would undo that step.
void ScrollObject::DragSlot(Signal::Base* signal, GuiObject*)
{
    if (!dragging_)
        return;
    if (std::exchange(movedBesideDrag_, false))
        dragPlace_ = GetBarPosition();
    auto* move = static_cast<Signal::Positional*>(signal);
    // Past an end of the track the pointer counts as at that end: the bar
    // held there reaches that end of its travel, and the pointer moves it
    // again from the moment it comes back.
    const int start = WindowAxisStart();
    const int extent = GetAxisExtent();
    const int c = std::clamp(vertical_ ? move->y : move->x, start, start + extent);
    const int limit = std::max(extent - GetBarLength(), 0);
    dragPlace_ = std::clamp(dragPlace_ + c - dragAnchor_, 0, limit);
    dragAnchor_ = c;
    {
        // What the listeners do with the bar meanwhile is part of this move.
        const bool outer = std::exchange(followingDrag_, true);
        MoveBar(dragPlace_ - GetBarPosition(), true);
        followingDrag_ = outer;
    }
    InvalidateWhenShown(*this);
}

void ScrollObject::DragEndSlot(Signal::Base*, GuiObject*)
{
    dragging_ = false;
    bar_->SetForceSelected(false);
}

int ScrollObject::GetBarX() const
{
    return bar_->GetX();
}

int ScrollObject::GetBarY() const
{
    return bar_->GetY();
}

int ScrollObject::GetBarPosition() const
{
    return vertical_ ? bar_->GetY() : bar_->GetX();
}

int ScrollObject::GetBarLength() const
{
    return vertical_ ? bar_->GetHeight() : bar_->GetWidth();
}

int ScrollObject::GetAxisPosition() const
{
    return vertical_ ? GetY() : GetX();
}

int ScrollObject::GetAxisExtent() const
{
    return vertical_ ? GetHeight() : GetWidth();
}

int ScrollObject::GetMaxBarPosition() const
{
    return std::max(GetAxisPosition() + GetAxisExtent() - GetBarLength(), GetAxisPosition());
}

} // namespace Vabo
