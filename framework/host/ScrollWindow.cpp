#include "framework/host/ScrollWindow.h"

#include <tinyxml.h>

#include <algorithm>
#include <climits>
#include <cmath>
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
            stepX_ = (content->GetWidth() - view_.GetWidth()) / horizontalBar_->GetScrollObject().GetTicCount();
        if (verticalBar_)
            stepY_ = (content->GetHeight() - view_.GetHeight()) / verticalBar_->GetScrollObject().GetTicCount();
    } else {
        UpdateTicCount();
    }
    KeepBarOnView(true);
    KeepBarOnView(false);
}

namespace {

// One tic per line of travel, rounded up, and at least one: the last tic
// takes what is left of a line, so that every tic moves the content, and a
// whole number of lines gets no extra tic, which would move the bar past a
// view already at its end. Counted in whole numbers, exact for any length of
// list.
int TicsFor(long long linesOfTravel, long long perLine)
{
    if (linesOfTravel <= 0 || perLine <= 0)
        return 1;
    return static_cast<int>(std::clamp<long long>((linesOfTravel + perLine - 1) / perLine, 1, INT_MAX));
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
        const long long height = content->GetHeight();
        TicScrollObject& track = verticalBar_->GetScrollObject();
        track.SetTicCount(TicsFor(linesPerView_ * (height - view_.GetHeight()), height));
        track.SetTicsPerPage(3);
    }
    // Across, no lines are counted: a tic is a step of travel.
    if (horizontalBar_) {
        TicScrollObject& track = horizontalBar_->GetScrollObject();
        track.SetTicCount(TicsFor(Limit(true), stepX_));
        track.SetTicsPerPage(3);
    }
}

int ScrollWindow::MoveAxis(int offset, int delta, int limit, int step, int& remainder)
{
    if (step == 0)
        return offset + delta;
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
    return offset;
}

int ScrollWindow::MoveAxis(int offset, int delta, int limit, int step, int& remainder, float& carry)
{
    offset = MoveAxis(offset, delta, limit, step, remainder);
    // Stopped at the end it moved towards, the view stands at that end
    // exactly, as the bar does: a part-step or a drag's fraction left over
    // would make the next tic move the bar without the view.
    if ((offset <= 0 && delta < 0) || (offset >= limit && delta > 0)) {
        remainder = 0;
        carry = 0.0f;
    }
    return std::clamp(offset, 0, limit);
}

void ScrollWindow::ScrollBy(int dx, int dy)
{
    if (GuiObject* content = view_.GetContent()) {
        const int maxX = std::max(content->GetWidth() - view_.GetWidth(), 0);
        const int maxY = std::max(content->GetHeight() - view_.GetHeight(), 0);
        const int ox = MoveAxis(view_.GetClipOffsetX(), dx, maxX, stepX_, remainderX_, carryX_);
        const int oy = MoveAxis(view_.GetClipOffsetY(), dy, maxY, stepY_, remainderY_, carryY_);
        view_.SetClipOffset(ox, oy);
    }
    SyncBars();
}

void ScrollWindow::ScrollLinesX(int n)
{
    StepLines(true, std::clamp(n, -kMostLines, kMostLines));
}

void ScrollWindow::ScrollLinesY(int n)
{
    StepLines(false, std::clamp(n, -kMostLines, kMostLines));
}

TicScrollObject* ScrollWindow::Track(bool horizontal) const
{
    ScrollBar* bar = horizontal ? horizontalBar_.get() : verticalBar_.get();
    return bar ? &bar->GetScrollObject() : nullptr;
}

int ScrollWindow::BarTic(bool horizontal) const
{
    TicScrollObject* track = Track(horizontal);
    return track ? track->GetTicFromBar() : 0;
}

int ScrollWindow::Offset(bool horizontal) const
{
    return horizontal ? view_.GetClipOffsetX() : view_.GetClipOffsetY();
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
    const int limit = Limit(horizontal);
    if (tic >= Track(horizontal)->GetTicCount())
        return limit;
    const long long step = std::max(horizontal ? stepX_ : stepY_, 0);
    return static_cast<int>(std::clamp<long long>(step * tic, 0, limit));
}

void ScrollWindow::SetOffset(bool horizontal, int offset)
{
    horizontal ? view_.SetClipOffset(offset, view_.GetClipOffsetY())
               : view_.SetClipOffset(view_.GetClipOffsetX(), offset);
}

void ScrollWindow::ShowBarTic(bool horizontal)
{
    (horizontal ? remainderX_ : remainderY_) = 0;
    (horizontal ? carryX_ : carryY_) = 0.0f;
    SetOffset(horizontal, TicOffset(horizontal, BarTic(horizontal)));
    SyncBars();
}

void ScrollWindow::KeepBarOnView(bool horizontal)
{
    if (!TicsArePositions(horizontal))
        return;
    const int offset = Offset(horizontal);
    if (offset == TicOffset(horizontal, BarTic(horizontal)))
        return;
    TicScrollObject& track = *Track(horizontal);
    const int limit = Limit(horizontal);
    const int step = horizontal ? stepX_ : stepY_;
    const int tic = offset >= limit ? track.GetTicCount() : step > 0 ? std::min(offset / step, track.GetTicCount()) : 0;
    track.SetTic(tic, false);
    SetOffset(horizontal, TicOffset(horizontal, tic));
}

bool ScrollWindow::StepLines(bool horizontal, int n)
{
    const int before = Offset(horizontal);
    TicScrollObject* track = Track(horizontal);
    const int tic = track ? track->GetTicFromBar() : 0;
    if (track)
        track->SetTic(tic + n, false);
    if (TicsArePositions(horizontal))
        ShowBarTic(horizontal);
    else
        MoveByLines(horizontal, LinePixels(horizontal ? stepX_ : stepY_, n));
    return Offset(horizontal) != before || (track && track->GetTicFromBar() != tic);
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
    for (ScrollBar* bar : {horizontalBar_.get(), verticalBar_.get()}) {
        if (bar)
            bar->GetScrollObject().SetTic(0, false);
    }
    view_.SetClipOffset(0, 0);
    // Part-steps of the old position would shift the first step after the
    // reset, and the view would lag a tic behind the bar.
    remainderX_ = 0;
    remainderY_ = 0;
    carryX_ = 0.0f;
    carryY_ = 0.0f;
    SyncBars();
}

void ScrollWindow::OnBarScrolled(Signal::Base* signal, GuiObject*)
{
    auto* moved = static_cast<Signal::ScrollObjectSignal*>(signal);
    const bool horizontal = moved->horizontal;
    // The bar has moved already, whatever the kind of move.
    if (TicsArePositions(horizontal)) {
        ShowBarTic(horizontal);
        InvalidateWhenShown(*this);
        return;
    }
    // Elsewhere (rows of several heights) tic n is not line n: the view moves
    // its lines from its own place.
    const int d = moved->direction == Signal::ScrollObjectSignal::Forward ? 1 : -1;
    GuiObject* content = view_.GetContent();
    const int length = content ? (horizontal ? content->GetWidth() : content->GetHeight()) : 0;
    switch (moved->kind) {
    case Signal::ScrollObjectSignal::Tic:
        MoveByLines(horizontal, (horizontal ? stepX_ : stepY_) * d);
        break;
    case Signal::ScrollObjectSignal::Page:
        MoveByLines(horizontal, horizontal ? LinePixels(stepX_, pageStepsX_ * d) : LinePixels(stepY_, pageStepsY_ * d));
        break;
    case Signal::ScrollObjectSignal::Pixels:
        horizontal ? ScrollXByBarPixels(moved->amount * d) : ScrollYByBarPixels(moved->amount * d);
        break;
    case Signal::ScrollObjectSignal::AtStart:
        horizontal ? ScrollBy(-length, 0) : ScrollBy(0, -length);
        break;
    case Signal::ScrollObjectSignal::AtEnd:
        horizontal ? ScrollBy(length, 0) : ScrollBy(0, length);
        break;
    default:
        break;
    }
    InvalidateWhenShown(*this);
}

void ScrollWindow::MoveByLines(bool horizontal, int pixels)
{
    // A part-step left by a drag is dropped first: counted in, it would
    // swallow an arrow, a wheel step or part of a page moved the other way.
    (horizontal ? remainderX_ : remainderY_) = 0;
    (horizontal ? carryX_ : carryY_) = 0.0f;
    horizontal ? ScrollBy(pixels, 0) : ScrollBy(0, pixels);
}

namespace {

// Content pixels for n pixels of bar travel; the fractions are carried over
// so that a long drag moves the content as far as the bar.
int ContentPixels(int n, int travel, int over, float& carry)
{
    float f = static_cast<float>(n) / static_cast<float>(travel) * static_cast<float>(over);
    carry += f - std::trunc(f);
    // Both ways: a drag back by as far as it went brings the view back too.
    if (carry >= 1.0f) {
        f += 1.0f;
        carry -= 1.0f;
    } else if (carry <= -1.0f) {
        f -= 1.0f;
        carry += 1.0f;
    }
    return static_cast<int>(f);
}

} // namespace

void ScrollWindow::ScrollXByBarPixels(int n)
{
    GuiObject* content = view_.GetContent();
    if (!content || !horizontalBar_)
        return;
    const int travel = horizontalBar_->GetScrollObject().GetTravel();
    if (travel <= 0)
        return;
    ScrollBy(ContentPixels(n, travel, content->GetWidth() - view_.GetWidth(), carryX_), 0);
}

void ScrollWindow::ScrollYByBarPixels(int n)
{
    GuiObject* content = view_.GetContent();
    if (!content || !verticalBar_)
        return;
    const int travel = verticalBar_->GetScrollObject().GetTravel();
    if (travel <= 0)
        return;
    ScrollBy(0, ContentPixels(n, travel, content->GetHeight() - view_.GetHeight(), carryY_));
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

void ScrollWindow::ScrollIntoViewY(GuiObject* child)
{
    bool down = false;
    if (IsChildVisibleY(child, down))
        return;
    // One way only: a child that fits between two lines and no line would
    // otherwise send the view to and fro for ever.
    const bool way = down;
    do {
        if (!StepLines(false, way ? 1 : -1))
            break;
    } while (!IsChildVisibleY(child, down) && down == way);
}

void ScrollWindow::ScrollIntoViewX(GuiObject* child)
{
    bool right = false;
    if (IsChildVisibleX(child, right))
        return;
    // One way only: a child that fits between two lines and no line would
    // otherwise send the view to and fro for ever.
    const bool way = right;
    do {
        if (!StepLines(true, way ? 1 : -1))
            break;
    } while (!IsChildVisibleX(child, right) && right == way);
}

void ScrollWindow::ScrollIntoView(GuiObject* child)
{
    ScrollIntoViewX(child);
    ScrollIntoViewY(child);
}

} // namespace Vabo
