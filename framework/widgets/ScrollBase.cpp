#include "framework/widgets/ScrollBase.h"

#include <tinyxml.h>

#include <algorithm>

#include "framework/core/ObjectSignals.h"
#include "framework/widgets/InvalidateWhenShown.h"
#include "framework/widgets/ScrollObjectSignal.h"

namespace Vabo {

ScrollBase::ScrollBase(TiXmlElement* element)
    : FlowLayoutStartAligned(element)
    , scrollObject_(element)
    , inner_(element)
    , startButton_(GetChild(element, "Start"))
    , endButton_(GetChild(element, "End"))
{
    RegisterLoader<ScrollBase>(element, this);
}

ScrollBase::~ScrollBase() = default;

bool ScrollBase::LoadFromXML(TiXmlElement* element)
{
    int buttonSize = 0;
    const bool complete = ReadXmlAttribute(bigAxisSize_, element, "BigAxisSize", true, kSkinSize)
        && ReadXmlAttribute(smallAxisSize_, element, "SmallAxisSize", true, kSkinSize)
        && ReadXmlAttribute(buttonSize, element, "ButtonSize", true, kSkinSize);
    if (!complete)
        return false;
    ArrangeParts(buttonSize);
    return true;
}

void ScrollBase::ArrangeParts(int buttonSize)
{
    vertical_ = IsVertical();
    // The arrows first: the bar's own size is kept long enough for them.
    if (vertical_) {
        startButton_.SetSize(smallAxisSize_, buttonSize);
        endButton_.SetSize(smallAxisSize_, buttonSize);
        SetSize(smallAxisSize_, bigAxisSize_);
    } else {
        startButton_.SetSize(buttonSize, smallAxisSize_);
        endButton_.SetSize(buttonSize, smallAxisSize_);
        SetSize(bigAxisSize_, smallAxisSize_);
    }
    if (!loaded_) {
        AddObject(&startButton_);
        AddObjectWithExtent(&inner_, kExpandable);
        inner_.AddObject(&endButton_);
        inner_.AddObjectWithExtent(&scrollObject_, kExpandable);
        loaded_ = true;
    }
    UpdateLayout();
    scrollObject_.SetTic(0, false);
}

bool ScrollBase::SetSize(int width, int height)
{
    const int least = scrollObject_.GetMinimumBarSize();
    if (vertical_)
        height = std::max(height, least + startButton_.GetHeight() + endButton_.GetHeight());
    else
        width = std::max(width, least + startButton_.GetWidth() + endButton_.GetWidth());
    const bool result = FlowLayoutStartAligned::SetSize(width, height);
    UpdateLayout();
    return result;
}

// A page starts, as a step does, from the tic the bar shows: after a drag
// that is where the bar stands, not the tic it was last set to.
void ScrollBase::PageForward()
{
    scrollObject_.SetTic(scrollObject_.GetTicFromBar() + kTicsPerPage, false);
    scrollObject_.Emit(Signal::ScrollObjectSignal::Forward, Signal::ScrollObjectSignal::Page, 0);
}

void ScrollBase::PageBack()
{
    scrollObject_.SetTic(scrollObject_.GetTicFromBar() - kTicsPerPage, false);
    scrollObject_.Emit(Signal::ScrollObjectSignal::Back, Signal::ScrollObjectSignal::Page, 0);
}

void ScrollBase::StepForwardSlot(Signal::Base*, GuiObject*)
{
    scrollObject_.StepForward(false);
    InvalidateWhenShown(*this);
}

void ScrollBase::StepBackSlot(Signal::Base*, GuiObject*)
{
    scrollObject_.StepBack(false);
    InvalidateWhenShown(*this);
}

void ScrollBase::PageForwardSlot(Signal::Base*, GuiObject*)
{
    PageForward();
    InvalidateWhenShown(*this);
}

void ScrollBase::PageBackSlot(Signal::Base*, GuiObject*)
{
    PageBack();
    InvalidateWhenShown(*this);
}

void ScrollBase::ConnectParts()
{
    startButton_.AddSlot<Signal::Activate>(&ScrollBase::StepBackSlot, this);
    endButton_.AddSlot<Signal::Activate>(&ScrollBase::StepForwardSlot, this);
    scrollObject_.SetBufferCallbacks([this] { PageForwardSlot(nullptr, this); },
                                     [this] { PageBackSlot(nullptr, this); });
}

} // namespace Vabo
