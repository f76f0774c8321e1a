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
// off. Only the first tic stands at the start and only the last at the end,
// so that a bar at an end always shows a view at that end, however many tics
// share a pixel.
int TicScrollObject::TicPosition(int tic) const
{
    const long long travel = GetTravel();
    if (ticCount_ <= 0 || travel <= 0)
        return 0;
    const int position = static_cast<int>(static_cast<long long>(tic) * travel / ticCount_);
    return tic > 0 && tic < ticCount_ && travel >= 2 ? std::max(position, 1) : position;
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

int TicScrollObject::FirstTicAtOrPast(int position) const
{
    int low = 0;
    int high = std::max(ticCount_, 0);
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (TicPosition(middle) >= position)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

int TicScrollObject::GetTicFromBar() const
{
    // Where the stored tic puts the bar, the bar shows that tic: with more
    // tics than pixels of travel several tics share a pixel, and the first of
    // them would hold a step at the same pixel for ever.
    if (IsBarOnTic())
        return tic_;
    return FirstTicAtOrPast(GetBarPosition());
}

bool TicScrollObject::IsBarOnTic() const
{
    return GetBarPosition() == TicPosition(tic_);
}

int TicScrollObject::GetNearestTic() const
{
    const int position = GetBarPosition();
    const int past = FirstTicAtOrPast(position);
    if (past == 0 || position - TicPosition(past - 1) >= TicPosition(past) - position)
        return past;
    return FirstTicAtOrPast(TicPosition(past - 1));
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
