#include "framework/widgets/TicScrollObject.h"

#include <algorithm>
#include <string>

#include "framework/core/ObjectSignals.h"
#include "framework/widgets/InvalidateWhenShown.h"
#include "framework/widgets/ScrollObjectSignal.h"
#include "platform/Log.h"

namespace Vabo {

TicScrollObject::TicScrollObject(TiXmlElement* element)
    : ScrollObject(element)
{
}

TicScrollObject::~TicScrollObject() = default;

bool TicScrollObject::SetSize(int width, int height)
{
    const bool result = ScrollObject::SetSize(width, height);
    SetTic(tic_, false);
    return result;
}

void TicScrollObject::SetTicCount(int count)
{
    if (count < 0) {
        Platform::Log("Scroll object \"" + GetName() + "\" refuses a tic count of " + std::to_string(count));
        return;
    }
    ticCount_ = count;
}

void TicScrollObject::SetTicsPerPage(int ticsPerPage)
{
    if (ticsPerPage <= 0) {
        Platform::Log("Scroll object \"" + GetName() + "\" refuses " + std::to_string(ticsPerPage) + " tics per page");
        return;
    }
    pageCount_ = ticCount_ / ticsPerPage + (ticCount_ % ticsPerPage != 0 ? 1 : 0);
}

// Tic k stands k / count of the way along the travel, truncated: worked in
// whole numbers, so that no length of list or of track puts a tic a pixel
// off where the view's scrolling expects it.
int TicScrollObject::TicPosition(int tic) const
{
    const long long travel = GetTravel();
    if (ticCount_ <= 0 || travel <= 0)
        return 0;
    return static_cast<int>(static_cast<long long>(tic) * travel / ticCount_);
}

bool TicScrollObject::SetTic(int tic, bool emit)
{
    const bool valid = tic >= 0 && tic <= ticCount_;
    tic_ = std::clamp(tic, 0, ticCount_);
    const int target = TicPosition(tic_);
    MoveBar(target - GetBarPosition(), emit);
    InvalidateWhenShown(*this);
    return valid;
}

int TicScrollObject::GetTicFromBar() const
{
    const int position = GetBarPosition();
    // Where the stored tic puts the bar, the bar shows that tic: with more
    // tics than pixels of travel several tics share a pixel, and the first of
    // them would hold a step at the same pixel for ever.
    if (position == TicPosition(tic_))
        return tic_;
    const long long travel = GetTravel();
    if (ticCount_ < 1)
        return ticCount_;
    if (position <= 0)
        return 0;
    if (travel <= 0)
        return ticCount_;
    // The first tic at or past the bar: k travel / count >= position.
    const long long first = (static_cast<long long>(position) * ticCount_ + travel - 1) / travel;
    return static_cast<int>(std::min<long long>(first, ticCount_));
}

void TicScrollObject::StepForward(bool emit)
{
    SetTic(GetTicFromBar() + 1, emit);
    Emit(Signal::ScrollObjectSignal::Forward, Signal::ScrollObjectSignal::Tic, 0);
}

void TicScrollObject::StepBack(bool emit)
{
    SetTic(GetTicFromBar() - 1, emit);
    Emit(Signal::ScrollObjectSignal::Back, Signal::ScrollObjectSignal::Tic, 0);
}

void TicScrollObject::NextTic()
{
    SetTic(tic_ + 1, false);
}

void TicScrollObject::PreviousTic()
{
    SetTic(tic_ - 1, false);
}

void TicScrollObject::SetBufferCallbacks(std::function<void()> forward, std::function<void()> back)
{
    const int activate = Signal::TypeIdOf<Signal::Activate>();
    GetLeadingTrack().Connect(
        activate, nullptr, [back](Signal::Base*, GuiObject*) { back(); }, Watch());
    GetTrailingTrack().Connect(
        activate, nullptr, [forward](Signal::Base*, GuiObject*) { forward(); }, Watch());
}

int TicScrollObject::GetPixelsPerTic() const
{
    return ticCount_ < 1 ? 0 : GetTravel() / ticCount_;
}

int TicScrollObject::GetPixelsPerPage() const
{
    return pageCount_ < 1 ? 0 : GetTravel() / pageCount_;
}

} // namespace Vabo
