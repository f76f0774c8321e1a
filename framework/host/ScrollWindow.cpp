#include "framework/host/ScrollWindow.h"

#include <tinyxml.h>

#include <algorithm>
#include <array>
#include <climits>
#include <string>

#include "framework/core/ObjectSignals.h"
#include "framework/core/Registration.h"
#include "framework/host/ScrollStepSignal.h"
#include "framework/widgets/InvalidateWhenShown.h"
#include "framework/widgets/ScrollObjectSignal.h"

namespace Vabo {

namespace {

SignalRegistrar<Signal::ScrollStep> scrollStepSignal("Vabo::Signal::ScrollStep");

// The share of the content that the view shows; all of it when there is no
// content to measure.
float Share(int view, int content)
{
    return content > 0 ? static_cast<float>(view) / static_cast<float>(content) : 1.0f;
}

// No view is a million lines long; a larger count is taken as that many, so
// that adding it to a tic or a remainder stays within an int.
constexpr int kMostLines = 1 << 20;
constexpr long long kMostPixels = 1LL << 30;

// Pixels for n lines of a step, beyond any offset but never near an int's end.
int LinePixels(int step, int n)
{
    return static_cast<int>(std::clamp(static_cast<long long>(step) * n, -kMostPixels, kMostPixels));
}

} // namespace

ScrollWindow::ScrollWindow(TiXmlElement* element)
    : GridLayout(element, true)
    , view_(false)
    , corner_(GetChild(element, "InterBarSpacer"))
{
    RegisterLoader<ScrollWindow>(element, this);
}

ScrollWindow::~ScrollWindow()
{
    view_.SetContent(nullptr);
}

bool ScrollWindow::LoadFromXML(TiXmlElement* element)
{
    if (loaded_)
        return true;
    std::string bars;
    ReadXmlAttribute(bars, element, "ScrollBars", true);
    mode_ = bars == "Both" ? BothBars : bars == "Vertical" ? VerticalBar : bars == "Horizontal" ? HorizontalBar : None;
    if (mode_ & HorizontalBar) {
        TiXmlElement* barElement = GetChild(element, "ScrollBarX");
        horizontalBar_ = std::make_shared<ScrollBar>(barElement);
        ReadXmlAttribute(barThickness_, barElement, "SmallAxisSize", true, kSkinSize);
    }
    if (mode_ & VerticalBar) {
        TiXmlElement* barElement = GetChild(element, "ScrollBarY");
        verticalBar_ = std::make_shared<ScrollBar>(barElement);
        ReadXmlAttribute(barThickness_, barElement, "SmallAxisSize", true, kSkinSize);
    }
    if (mode_ == None)
        barThickness_ = 0;
    loaded_ = true;
    BuildLayout();
    return true;
}

void ScrollWindow::BuildLayout()
{
    for (ScrollBar* bar : {horizontalBar_.get(), verticalBar_.get()}) {
        if (bar)
            bar->GetScrollObject().AddSlot<Signal::ScrollObjectSignal>(&ScrollWindow::OnBarScrolled, this);
    }
    const float t = static_cast<float>(barThickness_);
    const GridVal zero(0, 0);
    const GridVal all(0, 1);
    const GridVal allButBar(-t, 1);
    const GridVal bar(t, 0);
    switch (mode_) {
    case BothBars:
        AddObjectAt(&view_, zero, zero, allButBar, allButBar);
        AddObjectAt(horizontalBar_.get(), zero, allButBar, allButBar, bar);
        AddObjectAt(verticalBar_.get(), allButBar, zero, bar, allButBar);
        AddObjectAt(&corner_, allButBar, allButBar, bar, bar);
        break;
    case VerticalBar:
        AddObjectAt(&view_, zero, zero, allButBar, all);
        AddObjectAt(verticalBar_.get(), allButBar, zero, bar, all);
        break;
    case HorizontalBar:
        AddObjectAt(&view_, zero, zero, all, allButBar);
        AddObjectAt(horizontalBar_.get(), zero, allButBar, all, bar);
        break;
    default:
        break;
    }
    SyncBars();
    SetUnselectable(0);
}

bool ScrollWindow::SetSize(int width, int height)
{
    const bool result = GridLayout::SetSize(width, height);
    UpdateLayout();
    return result;
}

void ScrollWindow::UpdateLayout()
{
    GridLayout::UpdateLayout();
    SyncBars();
}

void ScrollWindow::SetContent(GuiObject* content)
{
    float fx = 0.0f;
    float fy = 0.0f;
    if (GuiObject* old = view_.GetContent()) {
        fx = static_cast<float>(view_.GetClipOffsetX()) / static_cast<float>(std::max(old->GetWidth(), 1));
        fy = static_cast<float>(view_.GetClipOffsetY()) / static_cast<float>(std::max(old->GetHeight(), 1));
    }
    view_.SetContent(content);
    if (content)
        view_.SetClipOffset(static_cast<int>(static_cast<float>(content->GetWidth()) * fx),
                            static_cast<int>(static_cast<float>(content->GetHeight()) * fy));
    SyncBars();
}

void ScrollWindow::SyncBars()
{
    GuiObject* content = view_.GetContent();
    if (!content)
        return;
    if (horizontalBar_)
        horizontalBar_->GetScrollObject().SetBarFraction(Share(view_.GetWidth(), content->GetWidth()));
    if (verticalBar_)
        verticalBar_->GetScrollObject().SetBarFraction(Share(view_.GetHeight(), content->GetHeight()));
    if (explicitTicCounts_) {
        if (horizontalBar_)
            stepX_ = Limit(true) / horizontalBar_->GetScrollObject().GetTicCount();
        if (verticalBar_)
            stepY_ = Limit(false) / verticalBar_->GetScrollObject().GetTicCount();
    } else {
        UpdateTicCount();
    }
    SettleAxis(true);
    SettleAxis(false);
}

namespace {

// One tic per line of travel, rounded up, and at least one: the last tic
// takes what is left of a line, so that every tic moves the content, and a
// whole number of lines gets no extra tic, which would move the bar past a
// view already at its end. Counted in whole numbers, exact for any length of
// list. Where the tics are not steps of the view (rows of several heights),
// a travel with room for a view between its ends gets a tic between them too,
// so that a bar at an end never shows a view that is not.
int TicsFor(long long linesOfTravel, long long perLine, long long travel, long long step)
{
    long long tics = 1;
    if (linesOfTravel > 0 && perLine > 0)
        tics = std::clamp<long long>((linesOfTravel + perLine - 1) / perLine, 1, INT_MAX);
    const bool steps = step > 0 && (travel + step - 1) / step == tics;
    return static_cast<int>(tics < 2 && travel >= 2 && !steps ? 2 : tics);
}

} // namespace

void ScrollWindow::UpdateTicCount()
{
    GuiObject* content = view_.GetContent();
    if (!content)
        return;
    if (verticalBar_) {
        // Lines per view × travel / height, the lines of travel when rows are
        // of one height.
        const long long travel = Limit(false);
        TicScrollObject& track = verticalBar_->GetScrollObject();
        track.SetTicCount(TicsFor(linesPerView_ * travel, content->GetHeight(), travel, stepY_));
        track.SetTicsPerPage(ScrollBase::kTicsPerPage);
    }
    // Across, no lines are counted: a tic is a step of travel.
    if (horizontalBar_) {
        TicScrollObject& track = horizontalBar_->GetScrollObject();
        track.SetTicCount(TicsFor(Limit(true), stepX_, Limit(true), stepX_));
        track.SetTicsPerPage(ScrollBase::kTicsPerPage);
    }
}

int ScrollWindow::MoveAxis(int offset, int delta, int limit, int step, int& remainder)
{
    if (step == 0)
        return std::clamp(offset + delta, 0, limit);
    if ((offset == 0 && delta < 0) || (offset == limit && delta > 0))
        remainder = 0;
    else
        remainder += delta;
    const int steps = remainder / step;
    offset += step * steps;
    remainder -= step * steps;
    if (offset == limit && delta < 0) {
        remainder = delta;
        offset = (offset / step) * step;
    }
    // Stopped at the end it moved towards, the view stands at that end
    // exactly: a part-step left over would move the next step short.
    if ((offset <= 0 && delta < 0) || (offset >= limit && delta > 0))
        remainder = 0;
    return std::clamp(offset, 0, limit);
}

void ScrollWindow::ScrollBy(int dx, int dy)
{
    if (view_.GetContent())
        view_.SetClipOffset(MoveAxis(Offset(true), dx, Limit(true), stepX_, remainderX_),
                            MoveAxis(Offset(false), dy, Limit(false), stepY_, remainderY_));
    SyncBars();
}

void ScrollWindow::ScrollLinesX(int n)
{
    MoveLines(true, std::clamp(n, -kMostLines, kMostLines));
}

void ScrollWindow::ScrollLinesY(int n)
{
    MoveLines(false, std::clamp(n, -kMostLines, kMostLines));
}

TicScrollObject* ScrollWindow::Track(bool horizontal) const
{
    ScrollBar* bar = horizontal ? horizontalBar_.get() : verticalBar_.get();
    return bar ? &bar->GetScrollObject() : nullptr;
}

int ScrollWindow::Offset(bool horizontal) const
{
    return horizontal ? view_.GetClipOffsetX() : view_.GetClipOffsetY();
}

void ScrollWindow::SetOffset(bool horizontal, int offset)
{
    horizontal ? view_.SetClipOffset(offset, view_.GetClipOffsetY())
               : view_.SetClipOffset(view_.GetClipOffsetX(), offset);
}

int ScrollWindow::Limit(bool horizontal) const
{
    const GuiObject* content = view_.GetContent();
    if (!content)
        return 0;
    return horizontal ? std::max(content->GetWidth() - view_.GetWidth(), 0)
                      : std::max(content->GetHeight() - view_.GetHeight(), 0);
}

bool ScrollWindow::TicsArePositions(bool horizontal) const
{
    const TicScrollObject* track = Track(horizontal);
    const long long limit = Limit(horizontal);
    if (!track || track->GetTicCount() < 1 || limit <= 0)
        return false;
    if (explicitTicCounts_)
        return true;
    const long long step = horizontal ? stepX_ : stepY_;
    return step > 0 && (limit + step - 1) / step == track->GetTicCount();
}

int ScrollWindow::TicOffset(bool horizontal, int tic) const
{
    const long long limit = Limit(horizontal);
    const long long count = Track(horizontal)->GetTicCount();
    if (tic >= count)
        return static_cast<int>(limit);
    if (explicitTicCounts_)
        return static_cast<int>(tic * limit / count);
    return static_cast<int>(std::min(static_cast<long long>(horizontal ? stepX_ : stepY_) * tic, limit));
}

int ScrollWindow::FirstTicAtOrPast(bool horizontal, int offset) const
{
    int low = 0;
    int high = Track(horizontal)->GetTicCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (TicOffset(horizontal, middle) >= offset)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

int ScrollWindow::TicOfOffset(bool horizontal, int offset) const
{
    if (TicsArePositions(horizontal))
        return FirstTicAtOrPast(horizontal, offset);
    const long long limit = Limit(horizontal);
    const long long count = Track(horizontal)->GetTicCount();
    if (offset <= 0 || limit <= 0)
        return 0;
    if (offset >= limit)
        return static_cast<int>(count);
    const long long nearest = (2 * offset * count + limit) / (2 * limit);
    return static_cast<int>(std::clamp<long long>(nearest, 1, std::max(count - 1, 1LL)));
}

int ScrollWindow::ShareOffset(bool horizontal, int tic) const
{
    const long long limit = Limit(horizontal);
    const long long count = Track(horizontal)->GetTicCount();
    if (tic <= 0 || count <= 0)
        return 0;
    if (tic >= count)
        return static_cast<int>(limit);
    const long long nearest = (2 * tic * limit + count) / (2 * count);
    return static_cast<int>(std::clamp<long long>(nearest, std::min(limit, 1LL), std::max(limit - 1, 0LL)));
}

void ScrollWindow::SettleAxis(bool horizontal)
{
    int offset = std::clamp(Offset(horizontal), 0, Limit(horizontal));
    TicScrollObject* track = Track(horizontal);
    if (track && TicsArePositions(horizontal)) {
        // A view between two tics (new content, a resize) goes to the nearer.
        const int past = FirstTicAtOrPast(horizontal, offset);
        const int before = TicOffset(horizontal, std::max(past - 1, 0));
        offset =
            past > 0 && offset - before < TicOffset(horizontal, past) - offset ? before : TicOffset(horizontal, past);
    }
    SetOffset(horizontal, offset);
    if (track)
        track->SetTic(TicOfOffset(horizontal, offset), false);
}

int ScrollWindow::LinesFrom(bool horizontal, int offset, int n) const
{
    if (!TicsArePositions(horizontal)) {
        const long long moved = static_cast<long long>(offset) + LinePixels(horizontal ? stepX_ : stepY_, n);
        return static_cast<int>(std::clamp<long long>(moved, 0, Limit(horizontal)));
    }
    // From the last tic at the view's place on, or from the first back, so
    // that each tic moves the view even where several tics share a pixel.
    const int count = Track(horizontal)->GetTicCount();
    const long long from = n > 0 ? FirstTicAtOrPast(horizontal, offset + 1) - 1 : FirstTicAtOrPast(horizontal, offset);
    return TicOffset(horizontal, static_cast<int>(std::clamp<long long>(from + n, 0, count)));
}

void ScrollWindow::MoveLines(bool horizontal, int n)
{
    // A part-step left by ScrollBy is dropped: counted in, it would swallow
    // an arrow, a wheel step or part of a page moved the other way.
    (horizontal ? remainderX_ : remainderY_) = 0;
    SetOffset(horizontal, LinesFrom(horizontal, Offset(horizontal), n));
    SyncBars();
}

void ScrollWindow::FollowDrag(bool horizontal)
{
    TicScrollObject* track = Track(horizontal);
    if (!track || !view_.GetContent())
        return;
    // A bar the pointer has not moved off the view's tic (held on the spot,
    // moved across, pushed on past the end it stands at, or filling its
    // track) leaves the view: the tic nearest its place may be another one,
    // of several sharing a pixel or of a share the view is not at.
    if (!track->IsBarOnTic()) {
        (horizontal ? remainderX_ : remainderY_) = 0;
        const int tic = track->GetNearestTic();
        SetOffset(horizontal, TicsArePositions(horizontal) ? TicOffset(horizontal, tic) : ShareOffset(horizontal, tic));
    }
    SyncBars();
}

void ScrollWindow::SetPageX(int steps)
{
    pageStepsX_ = std::clamp(steps, -kMostLines, kMostLines);
}

void ScrollWindow::SetPageY(int steps)
{
    pageStepsY_ = std::clamp(steps, -kMostLines, kMostLines);
}

int ScrollWindow::GetPageY() const
{
    return LinePixels(stepY_, pageStepsY_);
}

void ScrollWindow::SetLinesPerView(int lines)
{
    linesPerView_ = lines;
    SyncBars();
}

void ScrollWindow::SetTicCounts(int x, int y)
{
    explicitTicCounts_ = true;
    if (horizontalBar_)
        horizontalBar_->GetScrollObject().SetTicCount(std::max(x, 1));
    if (verticalBar_)
        verticalBar_->GetScrollObject().SetTicCount(std::max(y, 1));
    // The steps follow the new counts now, not after the first tic.
    SyncBars();
    if (stepsConnected_)
        return;
    // Once: a second connection would step every bar twice per signal.
    stepsConnected_ = true;
    if ((mode_ & VerticalBar) || mode_ == None)
        AddSlot<Signal::ScrollStep>(&ScrollWindow::StepSlot, this);
    // A sideways list moves its selection by the window's own tab order, which
    // a derived window's handler (scrolling the chosen item into view) skips.
    if ((mode_ & HorizontalBar) || mode_ == None)
        Connect(
            Signal::TypeIdOf<Signal::SelectNextObject>(), nullptr,
            [this](Signal::Base* signal, GuiObject* object) { GuiObject::OnSelectNextObject(signal, object); },
            Watch());
}

void ScrollWindow::StepSlot(Signal::Base* signal, GuiObject*)
{
    if (!verticalBar_)
        return;
    const int direction = static_cast<Signal::ScrollStep*>(signal)->direction;
    if (direction == 0)
        verticalBar_->GetScrollObject().StepForward(false);
    else if (direction == 1)
        verticalBar_->GetScrollObject().StepBack(false);
}

void ScrollWindow::ResetScroll()
{
    view_.SetClipOffset(0, 0);
    // Part-steps of the old position would shift the first step after the
    // reset, and the view would lag a tic behind the bar.
    remainderX_ = 0;
    remainderY_ = 0;
    SyncBars();
}

// The bar has moved itself already; the view decides from its own place where
// it goes, and the bar is drawn again from there.
void ScrollWindow::OnBarScrolled(Signal::Base* signal, GuiObject*)
{
    auto* moved = static_cast<Signal::ScrollObjectSignal*>(signal);
    const bool horizontal = moved->horizontal;
    const int d = moved->direction == Signal::ScrollObjectSignal::Forward ? 1 : -1;
    switch (moved->kind) {
    case Signal::ScrollObjectSignal::Tic:
        MoveLines(horizontal, d);
        break;
    case Signal::ScrollObjectSignal::Page:
        // Where tics are positions, a page is the bar's page of tics.
        MoveLines(horizontal,
                  TicsArePositions(horizontal) ? ScrollBase::kTicsPerPage * d
                                               : (horizontal ? pageStepsX_ : pageStepsY_) * d);
        break;
    case Signal::ScrollObjectSignal::Pixels:
    case Signal::ScrollObjectSignal::AtStart:
    case Signal::ScrollObjectSignal::AtEnd:
        FollowDrag(horizontal);
        break;
    default:
        break;
    }
    InvalidateWhenShown(*this);
}

bool ScrollWindow::IsChildVisibleY(GuiObject* child, bool& down)
{
    const int top = child->GetY() - view_.GetClipOffsetY() + view_.GetY();
    const int bottom = child->GetBottom() - view_.GetClipOffsetY() + view_.GetY();
    if (top < view_.GetY()) {
        down = false;
        // Taller than the view: as visible as it can be.
        return bottom > view_.GetBottom();
    }
    if (bottom > view_.GetBottom()) {
        down = true;
        return false;
    }
    return true;
}

bool ScrollWindow::IsChildVisibleX(GuiObject* child, bool& right)
{
    const int left = child->GetX() - view_.GetClipOffsetX() + view_.GetX();
    const int end = child->GetRight() - view_.GetClipOffsetX() + view_.GetX();
    if (left < view_.GetX()) {
        right = false;
        return end > view_.GetRight();
    }
    if (end > view_.GetRight()) {
        right = true;
        return false;
    }
    return true;
}

bool ScrollWindow::IsChildVisible(bool horizontal, GuiObject* child, bool& further)
{
    return horizontal ? IsChildVisibleX(child, further) : IsChildVisibleY(child, further);
}

void ScrollWindow::ScrollIntoViewAlong(bool horizontal, GuiObject* child)
{
    bool further = false;
    if (IsChildVisible(horizontal, child, further))
        return;
    (horizontal ? remainderX_ : remainderY_) = 0;
    // One line (tic) at a time, one way only: a child that fits between two
    // lines and no line would otherwise send the view to and fro for ever.
    const bool way = further;
    int offset = Offset(horizontal);
    for (;;) {
        const int next = LinesFrom(horizontal, offset, way ? 1 : -1);
        if (next == offset)
            break;
        SetOffset(horizontal, offset = next);
        if (IsChildVisible(horizontal, child, further) || further != way)
            break;
    }
    // Stepped over by whole lines, where the view may stand anywhere: it goes
    // back to the nearest place that shows the child, as it would have had
    // the line been shorter.
    if (!IsChildVisible(horizontal, child, further) && further != way && !TicsArePositions(horizontal)) {
        const int start = horizontal ? child->GetX() : child->GetY();
        const int end = (horizontal ? child->GetRight() : child->GetBottom()) + 1;
        const int length = horizontal ? view_.GetWidth() : view_.GetHeight();
        // Its end at the view's end, or (taller than the view) its start just before the view's.
        const std::array<int, 2> places =
            way ? std::array<int, 2>{end - length, start + 1} : std::array<int, 2>{start, end - length - 1};
        for (const int place : places) {
            SetOffset(horizontal, std::clamp(place, 0, Limit(horizontal)));
            if (IsChildVisible(horizontal, child, further))
                break;
            SetOffset(horizontal, offset);
        }
    }
    SyncBars();
}

void ScrollWindow::ScrollIntoViewY(GuiObject* child)
{
    ScrollIntoViewAlong(false, child);
}

void ScrollWindow::ScrollIntoViewX(GuiObject* child)
{
    ScrollIntoViewAlong(true, child);
}

void ScrollWindow::ScrollIntoView(GuiObject* child)
{
    ScrollIntoViewX(child);
    ScrollIntoViewY(child);
}

} // namespace Vabo
