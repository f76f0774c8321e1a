// Scrolled list boxes from a skin with fifty items: scrolled by the arrows,
// the track, a drag of the bar, the wheel, the Up and Down keys and a timed
// scroll through a real screen manager on the manual clock, and checked by
// the clip offset, the bar's tic, the selection and the band they draw.
#include "framework/host/NewScrolledListBox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/HostInputSignals.h"
#include "framework/drawing/Color.h"
#include "framework/host/ScrollStepSignal.h"
#include "framework/widgets/ScrollObjectBarWrapper.h"
#include "framework/widgets/ScrollRig.h"
#include "platform/HostInput.h"
#include "tests/framework/drawing/PixelExpect.h"

using GdiplusGfxLayer::Color;

namespace {

constexpr int kItems = 50;
constexpr int kItemHeight = 20;
const Color kBand(255, 255, 0, 0);

std::shared_ptr<Vabo::GuiObject> Item(int index, int height = kItemHeight)
{
    auto item = std::make_shared<Vabo::GridLayout>();
    item->SetName("Item" + std::to_string(index));
    item->SetSize(80, height);
    return item;
}

// The list of the skin filled with fifty items and drawn once, which lays it out.
Vabo::NewScrolledListBox& FilledList(ScrollRig& rig)
{
    auto* list = rig.Find<Vabo::NewScrolledListBox>("Long");
    EXPECT_NE(list, nullptr);
    for (int i = 0; i < kItems; ++i)
        list->AddItem(Item(i), false);
    rig.Draw();
    return *list;
}

int Offset(Vabo::NewScrolledListBox& list)
{
    return list.GetView().GetClipOffsetY();
}

int Tic(Vabo::NewScrolledListBox& list)
{
    return list.GetVerticalBar()->GetScrollObject().GetTic();
}

void BindArrowKeys(ScrollRig& rig)
{
    using namespace Platform;
    rig.Screens().AddKeyBinding(Vabo::Signal::KeyPress(kVirtualKeyFlag | VirtualKey::Up),
                                std::make_shared<Vabo::Signal::SelectNextObject>(2));
    rig.Screens().AddKeyBinding(Vabo::Signal::KeyPress(kVirtualKeyFlag | VirtualKey::Down),
                                std::make_shared<Vabo::Signal::SelectNextObject>(3));
}

void PressKey(ScrollRig& rig, std::uint32_t key)
{
    rig.Key(Platform::kVirtualKeyFlag | key);
}

} // namespace

TEST(NewScrolledListBox, StacksItemsInOrderAndClosesGaps)
{
    ScrollRig rig("ListBoxes.xml", 220, 150);
    Vabo::NewScrolledListBox& list = FilledList(rig);
    Vabo::NewListBox& items = list.GetList();
    EXPECT_EQ(items.GetItemCount(), kItems);
    EXPECT_EQ(items.GetHeight(), kItems * kItemHeight);
    EXPECT_EQ(items.GetItemAt(0)->GetY(), 0) << "the first item at the top";
    EXPECT_EQ(items.GetItemAt(49)->GetY(), 49 * kItemHeight) << "each item right below the one before";
    EXPECT_EQ(items.GetSelectedIndex(), -1);
    EXPECT_EQ(items.GetHighlightIndex(), -1);
    // One tic a line of travel: 45 lines beyond the 5 the view shows.
    EXPECT_EQ(list.GetVerticalBar()->GetScrollObject().GetTicCount(), 45);
    EXPECT_EQ(list.GetVerticalBar()->GetScrollObject().GetBarLength(), 8) << "a tenth of 80, kept at the minimum";

    list.RemoveItemAt(0);
    EXPECT_EQ(items.GetItemCount(), kItems - 1);
    EXPECT_EQ(items.GetItemAt(0)->GetName(), "Item1");
    EXPECT_EQ(items.GetItemAt(0)->GetY(), 0) << "no gap where the removed item was";
    EXPECT_EQ(items.GetItemAt(48)->GetY(), 48 * kItemHeight);
    EXPECT_EQ(items.GetHeight(), (kItems - 1) * kItemHeight);

    // Items taken out all at once stay alive until the list box goes.
    std::weak_ptr<void> last = items.GetItemAt(48)->Watch();
    list.RemoveAllItems();
    EXPECT_EQ(items.GetItemCount(), 0);
    EXPECT_EQ(items.GetHeight(), 0);
    EXPECT_FALSE(last.expired());
    EXPECT_EQ(Offset(list), 0);
}

TEST(NewScrolledListBox, ScrollsByArrowsPagesAndTheWheel)
{
    ScrollRig rig("ListBoxes.xml", 220, 150);
    Vabo::NewScrolledListBox& list = FilledList(rig);
    rig.Click(95, 95);
    EXPECT_EQ(Offset(list), 20) << "the forward arrow scrolls one line";
    EXPECT_EQ(Tic(list), 1);
    rig.Click(95, 60);
    EXPECT_EQ(Offset(list), 80) << "the track after the bar pages three lines on";
    EXPECT_EQ(Tic(list), 4);
    rig.Click(95, 12);
    EXPECT_EQ(Offset(list), 20) << "the track before the bar pages back";
    EXPECT_EQ(Tic(list), 1);
    rig.Click(95, 5);
    rig.Click(95, 5);
    EXPECT_EQ(Offset(list), 0) << "never before the first line";
    EXPECT_EQ(Tic(list), 0);

    rig.Wheel(40, 50, -120);
    rig.Wheel(40, 50, -120);
    EXPECT_EQ(Offset(list), 40) << "a turn towards the user scrolls down a line";
    EXPECT_EQ(Tic(list), 2);
    rig.Wheel(40, 50, 120);
    EXPECT_EQ(Offset(list), 20);
    EXPECT_EQ(Tic(list), 1);
}

TEST(NewScrolledListBox, ScrollsByDraggingTheBar)
{
    ScrollRig rig("ListBoxes.xml", 220, 150);
    Vabo::NewScrolledListBox& list = FilledList(rig);
    Vabo::TicScrollObject& track = list.GetVerticalBar()->GetScrollObject();
    ASSERT_EQ(track.GetTravel(), 72);

    // 16 pixels of the bar's 72 of travel are 200 of the content's 900.
    rig.Move(95, 14);
    rig.Press(95, 14);
    rig.Move(95, 30);
    rig.Release(95, 30);
    EXPECT_EQ(track.GetBarY(), 16);
    EXPECT_EQ(Offset(list), 200);

    rig.Press(95, 30);
    rig.Move(95, 140);
    rig.Release(95, 140);
    EXPECT_EQ(track.GetBarY(), 72);
    EXPECT_EQ(Offset(list), 900) << "dragged past the end, the last line shows";

    rig.Press(95, 85);
    rig.Move(95, 0);
    rig.Release(95, 0);
    EXPECT_EQ(track.GetBarY(), 0);
    EXPECT_EQ(Offset(list), 0);
}

TEST(NewScrolledListBox, KeysMoveTheSelectionAndKeepItInView)
{
    ScrollRig rig("ListBoxes.xml", 220, 150);
    Vabo::NewScrolledListBox& list = FilledList(rig);
    BindArrowKeys(rig);
    ASSERT_TRUE(list.SelectIndex(0));
    EXPECT_EQ(list.GetSelectedIndex(), 0);
    PressKey(rig, Platform::VirtualKey::Up);
    EXPECT_EQ(list.GetSelectedIndex(), 0) << "nothing above the first item";

    for (int i = 0; i < 6; ++i)
        PressKey(rig, Platform::VirtualKey::Down);
    EXPECT_EQ(list.GetSelectedIndex(), 6);
    EXPECT_EQ(Offset(list), 40) << "scrolled just far enough to show the seventh item";
    for (int i = 0; i < 3; ++i)
        PressKey(rig, Platform::VirtualKey::Up);
    EXPECT_EQ(list.GetSelectedIndex(), 3);
    EXPECT_EQ(Offset(list), 40) << "the fourth item shows already";
    for (int i = 0; i < 3; ++i)
        PressKey(rig, Platform::VirtualKey::Up);
    EXPECT_EQ(list.GetSelectedIndex(), 0);
    EXPECT_EQ(Offset(list), 0);

    ASSERT_TRUE(list.SelectIndex(49));
    EXPECT_EQ(Offset(list), 900);
    PressKey(rig, Platform::VirtualKey::Down);
    EXPECT_EQ(list.GetSelectedIndex(), 49) << "nothing below the last item";
    EXPECT_FALSE(list.SelectIndex(50));
    EXPECT_FALSE(list.SelectIndex(-1));
}

TEST(NewScrolledListBox, TimedScrollMovesALineEachIntervalThenSelects)
{
    ScrollRig rig("ListBoxes.xml", 220, 150);
    Vabo::NewScrolledListBox& list = FilledList(rig);
    ASSERT_TRUE(list.SelectIndex(6));
    ASSERT_EQ(Offset(list), 40);

    list.StartTimedScroll(3, 100);
    rig.Tick(100);
    EXPECT_EQ(Offset(list), 40) << "a step needs more than the interval";
    rig.Tick(1);
    EXPECT_EQ(Offset(list), 60);
    rig.Tick(101);
    rig.Tick(50);
    EXPECT_EQ(Offset(list), 80);
    rig.Tick(51);
    EXPECT_EQ(Offset(list), 100);
    EXPECT_FALSE(list.IsTimedScrollActive());
    EXPECT_EQ(list.GetSelectedIndex(), 9);
    rig.Tick(500);
    EXPECT_EQ(Offset(list), 100);

    list.StartTimedScroll(-2, 50);
    rig.Tick(51);
    rig.Tick(51);
    EXPECT_EQ(Offset(list), 60);
    EXPECT_EQ(list.GetSelectedIndex(), 7);

    // No lines to scroll is no scroll at all.
    list.StartTimedScroll(0, 10);
    for (int i = 0; i < 3; ++i)
        rig.Tick(50);
    EXPECT_EQ(Offset(list), 60);
    EXPECT_EQ(list.GetSelectedIndex(), 7);
    EXPECT_FALSE(list.IsTimedScrollActive());
}

TEST(NewScrolledListBox, AClickHighlightsItsItemOnABandTheListWide)
{
    ScrollRig rig("ListBoxes.xml", 220, 150);
    Vabo::NewScrolledListBox& list = FilledList(rig);
    list.ScrollLinesY(3);
    rig.Click(40, 10);
    EXPECT_EQ(list.GetHighlightIndex(), 3);
    rig.Move(200, 140);
    auto picture = rig.Draw();
    EXPECT_TRUE(PixelNear(*picture, 5, 10, kBand));
    EXPECT_TRUE(PixelNear(*picture, 75, 19, kBand));
    EXPECT_FALSE(PixelNear(*picture, 40, 25, kBand));

    EXPECT_TRUE(list.HighlightIndex(20));
    EXPECT_EQ(list.GetHighlightIndex(), 20);
    EXPECT_EQ(Offset(list), 320) << "revealed by scrolling";
}

TEST(ScrollWindow, KeepsTheOffsetInWholeStepsWithinTheContent)
{
    ScrollRig rig("ListBoxes.xml", 220, 150);
    auto* window = rig.Find<Vabo::NewScrolledListBox>("Both");
    ASSERT_NE(window, nullptr);
    ASSERT_NE(window->GetHorizontalBar(), nullptr);
    ASSERT_EQ(window->GetView().GetHeight(), 70);
    Vabo::GridLayout content;
    content.SetSize(200, 400);
    window->SetContent(&content);
    window->SetStepY(10);
    for (int i = 0; i < 40; ++i)
        window->ScrollBy(0, 10);
    EXPECT_EQ(window->GetView().GetClipOffsetY(), 330);
    EXPECT_EQ(window->GetHorizontalBar()->GetScrollObject().GetBarLength(), 31) << "90 of 200 shown on 70 of track";

    // A bottom that is not a whole step: a step back lands on a whole step.
    content.SetSize(200, 375);
    window->ScrollBy(0, 10);
    EXPECT_EQ(window->GetView().GetClipOffsetY(), 305);
    // Any count of lines, however large, stops at either end.
    window->ScrollLinesY(INT_MAX);
    EXPECT_EQ(window->GetView().GetClipOffsetY(), 305);
    window->ScrollLinesY(INT_MIN);
    EXPECT_EQ(window->GetView().GetClipOffsetY(), 0);
    window->ScrollLinesY(INT_MAX);
    window->ScrollBy(0, -3);
    EXPECT_EQ(window->GetView().GetClipOffsetY(), 300);

    // Replaced content keeps the relative position.
    content.SetSize(200, 300);
    window->ScrollBy(0, -150);
    window->SetStepY(1);
    window->ScrollBy(0, -300);
    window->ScrollBy(0, 150);
    ASSERT_EQ(window->GetView().GetClipOffsetY(), 150);
    Vabo::GridLayout larger;
    larger.SetSize(200, 600);
    window->SetContent(&larger);
    EXPECT_EQ(window->GetView().GetClipOffsetY(), 300);

    // Empty content: the bars fill their tracks and nothing moves.
    Vabo::GridLayout empty;
    window->SetContent(&empty);
    EXPECT_EQ(window->GetView().GetClipOffsetY(), 0);
    window->ScrollBy(5, 5);
    EXPECT_EQ(window->GetView().GetClipOffsetX(), 0);
    EXPECT_EQ(window->GetView().GetClipOffsetY(), 0);
    EXPECT_EQ(window->GetVerticalBar()->GetScrollObject().GetBarLength(), 50);
    EXPECT_EQ(window->GetVerticalBar()->GetScrollObject().GetTicCount(), 1);
}

TEST(ScrollWindow, TicCountCoversTheTravelAndUnknownBarsMakeNone)
{
    ScrollRig rig("ListBoxes.xml", 220, 150);
    auto* window = rig.Find<Vabo::NewScrolledListBox>("Both");
    ASSERT_NE(window, nullptr);
    Vabo::GridLayout content;
    window->SetLinesPerView(10);
    Vabo::TicScrollObject& track = window->GetVerticalBar()->GetScrollObject();
    const std::vector<std::pair<int, int>> cases = {{280, 8}, {350, 8}, {351, 9}, {70, 1}, {40, 1}};
    for (const auto& [height, tics] : cases) {
        content.SetSize(200, height);
        window->SetContent(&content);
        EXPECT_EQ(track.GetTicCount(), tics) << height;
    }

    // A child that cannot come into view stops the search.
    content.SetSize(200, 300);
    window->SetContent(&content);
    Vabo::GridLayout beyond;
    beyond.SetSize(10, 10);
    beyond.SetPosition(0, 1000);
    content.AddChild(&beyond, false);
    window->SetStepY(10);
    window->ScrollIntoViewY(&beyond);
    EXPECT_EQ(window->GetView().GetClipOffsetY(), 230);
    window->SetStepY(0);
    window->ScrollIntoViewY(&beyond);
    content.RemoveChild(&beyond, false);
    // One that fits between two lines but at no line: the search goes one way
    // until the child lies the other way, and stops; then the view, which may
    // stand anywhere here, goes back to where the child's end meets its own.
    Vabo::GridLayout between;
    between.SetSize(10, 69);
    between.SetPosition(0, 25);
    content.AddChild(&between, false);
    window->SetStepY(20);
    window->ResetScroll();
    window->ScrollIntoViewY(&between);
    EXPECT_EQ(window->GetView().GetClipOffsetY(), 24);
    content.RemoveChild(&between, false);

    auto* unknown = rig.Find<Vabo::NewScrolledListBox>("Unknown");
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->GetMode(), Vabo::ScrollWindow::None);
    EXPECT_EQ(unknown->GetHorizontalBar(), nullptr);
    EXPECT_EQ(unknown->GetVerticalBar(), nullptr);
    EXPECT_EQ(unknown->GetView().GetWidth(), 0) << "the view is not placed";
}

TEST(ScrollWindow, ExplicitTicCountsStepBothBarsAndAResetLeavesNoPartStepBehind)
{
    ScrollRig rig("ListBoxes.xml", 220, 150);
    auto* window = rig.Find<Vabo::NewScrolledListBox>("Both");
    ASSERT_NE(window, nullptr);
    Vabo::TicScrollObject& across = window->GetHorizontalBar()->GetScrollObject();
    Vabo::TicScrollObject& down = window->GetVerticalBar()->GetScrollObject();
    Vabo::GridLayout content;
    content.SetSize(290, 375); // travel 200 across the 90 wide view, 305 down the 70 high one
    window->SetContent(&content);

    // Back a part-step from a bottom that is not a whole step, then reset: the
    // next line is a whole line, where the bar shows it.
    window->SetStepY(10);
    window->ScrollBy(0, 400);
    window->ScrollBy(0, -3);
    ASSERT_EQ(window->GetView().GetClipOffsetY(), 300);
    window->ResetScroll();
    window->ScrollLinesY(1);
    EXPECT_EQ(window->GetView().GetClipOffsetY(), 10);
    EXPECT_EQ(down.GetTic(), 1);
    window->ResetScroll();

    window->SetTicCounts(4, 0);
    window->SetTicCounts(4, 5);
    // With a horizontal bar the window moves a selection along its own tab order
    // (once its counts are set).
    Vabo::GuiObject first(0, 0);
    Vabo::GuiObject second(0, 0);
    window->AddTabObject(&first, 0, 0);
    window->AddTabObject(&second, 1, 0);
    // Nothing is selected yet: the key enters at the first entry.
    Vabo::Signal::SelectNextObject right(1);
    window->SendToSelf(&right);
    EXPECT_EQ(right.chosen, &first);
    EXPECT_EQ(window->GetStepX(), 50);
    EXPECT_EQ(window->GetStepY(), 61);
    // The horizontal bar's forward arrow: four tics reach the end, a fifth stays.
    for (const int expected : {50, 100, 150, 200, 200}) {
        rig.Click(195, 75);
        EXPECT_EQ(window->GetView().GetClipOffsetX(), expected);
    }
    EXPECT_EQ(across.GetTic(), 4);
    // ScrollStep moves the vertical bar a tic at a time, however often the
    // counts were set.
    for (const auto& [direction, tic] : std::vector<std::pair<int, int>>{{0, 1}, {0, 2}, {1, 1}}) {
        Vabo::Signal::ScrollStep step(direction);
        window->SendToSelf(&step);
        EXPECT_EQ(down.GetTic(), tic);
        EXPECT_EQ(window->GetView().GetClipOffsetY(), 61 * tic);
    }
}

namespace {

// Presses the bar at its middle and drags it along its axis by `by` pixels, a
// pixel at a time (the pointer may leave the track), then lets go.
void DragBar(ScrollRig& rig, Vabo::TicScrollObject& track, int by)
{
    Vabo::ScrollObject::BarWrapper& bar = track.GetBar();
    const int x = bar.GetWindowX() + bar.GetWidth() / 2;
    const int y = bar.GetWindowY() + bar.GetHeight() / 2;
    rig.Move(x, y);
    rig.Press(x, y);
    for (int d = 0; d != by;) {
        d += by > 0 ? 1 : -1;
        track.IsVerticalBar() ? rig.Move(x, y + d) : rig.Move(x + d, y);
    }
    track.IsVerticalBar() ? rig.Release(x, y + by) : rig.Release(x + by, y);
}

// The view shows the line of the tic the bar shows: the offset is that many
// steps, or the end where the last tic stands.
void ExpectBarAndViewAgree(Vabo::ScrollWindow& window, bool horizontal, const std::string& after)
{
    Vabo::TicScrollObject& track =
        (horizontal ? window.GetHorizontalBar() : window.GetVerticalBar())->GetScrollObject();
    Vabo::GuiObject* content = window.GetContent();
    const int offset = horizontal ? window.GetView().GetClipOffsetX() : window.GetView().GetClipOffsetY();
    const int limit = horizontal ? content->GetWidth() - window.GetView().GetWidth()
                                 : content->GetHeight() - window.GetView().GetHeight();
    const int step = horizontal ? window.GetStepX() : window.GetStepY();
    const int tic = track.GetTicFromBar();
    EXPECT_EQ(std::min(tic * step, limit), offset) << after << ", tic " << tic;
}

// Clicks the middle of a part of a bar (an arrow or a piece of the track),
// when the part has any length; false when it has none.
bool ClickPart(ScrollRig& rig, Vabo::GuiObject& part)
{
    if (part.GetWidth() <= 0 || part.GetHeight() <= 0)
        return false;
    rig.Click(part.GetWindowX() + part.GetWidth() / 2, part.GetWindowY() + part.GetHeight() / 2);
    return true;
}

// The list of the skin with ten rows of 40 pixels and a last one of another
// height, whose height is the step: 11 rows in a 100 high view make 9 tics,
// whatever the number of steps of travel.
constexpr int kMixedRows = 10;
constexpr int kMixedRowHeight = 40;

Vabo::NewScrolledListBox& MixedList(ScrollRig& rig, int lastRow)
{
    auto* list = rig.Find<Vabo::NewScrolledListBox>("Long");
    EXPECT_NE(list, nullptr);
    for (int i = 0; i < kMixedRows; ++i)
        list->AddItem(Item(i, kMixedRowHeight), false);
    list->AddItem(Item(kMixedRows, lastRow), false);
    rig.Draw();
    return *list;
}

struct Move {
    const char* what;
    std::function<void()> act;
    bool agree; // false for a drag, which may leave the bar between tics
};

} // namespace

TEST(ScrollWindow, BarAndViewAgreeAfterEveryMoveOfAVerticalList)
{
    ScrollRig rig("ListBoxes.xml", 220, 150);
    Vabo::NewScrolledListBox& list = FilledList(rig);
    Vabo::TicScrollObject& track = list.GetVerticalBar()->GetScrollObject();
    BindArrowKeys(rig);
    const std::vector<Move> moves = {
        {"a drag by part of a line", [&] { DragBar(rig, track, 17); }, false},
        {"a drag past the top", [&] { DragBar(rig, track, -60); }, true},
        {"the forward arrow", [&] { rig.Click(95, 95); }, true},
        {"a drag by part of a line", [&] { DragBar(rig, track, 17); }, false},
        {"the forward arrow", [&] { rig.Click(95, 95); }, true},
        {"a drag by part of a line", [&] { DragBar(rig, track, 17); }, false},
        {"the track after the bar", [&] { rig.Click(95, 85); }, true},
        {"a drag back by part of a line", [&] { DragBar(rig, track, -7); }, false},
        {"the wheel", [&] { rig.Wheel(40, 50, -120); }, true},
        {"a drag back by part of a line", [&] { DragBar(rig, track, -7); }, false},
        {"the track before the bar", [&] { rig.Click(95, 11); }, true},
        {"a drag past the end", [&] { DragBar(rig, track, 100); }, true},
        {"the back arrow", [&] { rig.Click(95, 5); }, true},
        {"a drag back by part of a line", [&] { DragBar(rig, track, -5); }, false},
        {"a selection brought into view", [&] { ASSERT_TRUE(list.SelectIndex(3)); }, true},
        {"a drag by part of a line", [&] { DragBar(rig, track, 9); }, false},
        {"a selection below brought into view", [&] { ASSERT_TRUE(list.SelectIndex(20)); }, true},
        {"the Down key", [&] { PressKey(rig, Platform::VirtualKey::Down); }, true},
        {"a timed scroll",
         [&] {
             list.StartTimedScroll(2, 10);
             rig.Tick(11);
             rig.Tick(11);
         },
         true},
        {"the bar at line 21",
         [&] {
             list.ResetScroll();
             list.ScrollLinesY(21);
         },
         true},
        {"a drag back by 14 pixels", [&] { DragBar(rig, track, -14); }, false},
        {"the track below the bar", [&] { ClickPart(rig, track.GetTrailingTrack()); }, true},
    };
    for (const Move& move : moves) {
        move.act();
        if (move.agree)
            ExpectBarAndViewAgree(list, false, move.what);
    }

    // More lines than pixels of travel: each arrow still moves the bar a tic.
    for (int i = kItems; i < 1000; ++i)
        list.AddItem(Item(i), false);
    rig.Draw();
    list.ResetScroll();
    ASSERT_GT(track.GetTicCount(), track.GetTravel());
    for (int i = 1; i <= 5; ++i) {
        rig.Click(95, 95);
        EXPECT_EQ(i, track.GetTic());
        ExpectBarAndViewAgree(list, false, "arrow " + std::to_string(i));
    }
}

TEST(ScrollWindow, BarAndViewAgreeAfterEveryMoveAcross)
{
    ScrollRig rig("ListBoxes.xml", 220, 150);
    auto* window = rig.Find<Vabo::NewScrolledListBox>("Both");
    ASSERT_NE(window, nullptr);
    Vabo::GridLayout content;
    content.SetSize(290, 375); // 200 pixels of travel across the 90 wide view
    window->SetContent(&content);
    // Pages set before the counts: they follow the steps the counts give.
    window->SetPageX(3);
    window->SetPageY(3);
    window->SetTicCounts(8, 5);
    ASSERT_EQ(window->GetStepX(), 25);
    Vabo::TicScrollObject& track = window->GetHorizontalBar()->GetScrollObject();
    Vabo::GridLayout child;
    child.SetSize(30, 10);
    content.AddChild(&child, false);
    const auto place = [&](int x) { child.SetPosition(x, 0); };
    const std::vector<Move> moves = {
        {"a drag by part of a step", [&] { DragBar(rig, track, 10); }, false},
        {"the forward arrow", [&] { rig.Click(195, 75); }, true},
        {"a drag past the start", [&] { DragBar(rig, track, -80); }, true},
        {"the forward arrow", [&] { rig.Click(195, 75); }, true},
        {"a drag by part of a step", [&] { DragBar(rig, track, 7); }, false},
        {"three lines on", [&] { window->ScrollLinesX(3); }, true},
        {"a drag back by part of a step", [&] { DragBar(rig, track, -4); }, false},
        {"the track after the bar", [&] { rig.Click(188, 75); }, true},
        {"a drag past the end", [&] { DragBar(rig, track, 80); }, true},
        {"the back arrow", [&] { rig.Click(115, 75); }, true},
        {"a line back", [&] { window->ScrollLinesX(-1); }, true},
        {"a drag back by part of a step", [&] { DragBar(rig, track, -9); }, false},
        {"a child at the start brought into view",
         [&] {
             place(10);
             window->ScrollIntoViewX(&child);
         },
         true},
        {"a drag by part of a step", [&] { DragBar(rig, track, 5); }, false},
        {"a child at the end brought into view",
         [&] {
             place(255);
             window->ScrollIntoViewX(&child);
         },
         true},
    };
    for (const Move& move : moves) {
        move.act();
        if (move.agree)
            ExpectBarAndViewAgree(*window, true, move.what);
    }
    bool right = false;
    EXPECT_TRUE(window->IsChildVisibleX(&child, right));

    // Down the same window, where the counts made a step of 61.
    Vabo::TicScrollObject& down = window->GetVerticalBar()->GetScrollObject();
    const std::vector<Move> downMoves = {
        {"the track below the bar", [&] { rig.Click(205, 50); }, true},
        {"a drag up by part of a step", [&] { DragBar(rig, down, -3); }, false},
        {"the track above the bar", [&] { rig.Click(205, 12); }, true},
    };
    for (const Move& move : downMoves) {
        move.act();
        if (move.agree)
            ExpectBarAndViewAgree(*window, false, move.what);
    }

    // Whether a child shows whole across the view at the start, and on which side it lies when not.
    window->ResetScroll();
    struct Seen {
        int x;
        int width;
        bool visible;
        bool right;
    };
    const Seen seen[] = {{0, 30, true, false},   {60, 30, true, false},  {61, 30, false, true},
                         {-5, 30, false, false}, {-5, 100, true, false}, {200, 30, false, true}};
    for (const Seen& s : seen) {
        SCOPED_TRACE(std::to_string(s.x) + " + " + std::to_string(s.width));
        child.SetPosition(s.x, 0);
        child.SetSize(s.width, 10);
        right = !s.right;
        EXPECT_EQ(s.visible, window->IsChildVisibleX(&child, right));
        if (!s.visible) {
            EXPECT_EQ(s.right, right);
        }
    }
    content.RemoveChild(&child, false);
}

// A seeded walk of moves of every kind along each axis: after every move but a
// drag the view shows the line of the bar's tic.
TEST(ScrollWindow, BarAndViewAgreeThroughoutARandomWalkOfMoves)
{
    for (const bool horizontal : {false, true}) {
        SCOPED_TRACE(horizontal ? "across" : "down");
        ScrollRig rig("ListBoxes.xml", 220, 150);
        Vabo::GridLayout content;
        Vabo::GridLayout child;
        Vabo::NewScrolledListBox* window = nullptr;
        if (horizontal) {
            window = rig.Find<Vabo::NewScrolledListBox>("Both");
            ASSERT_NE(window, nullptr);
            content.SetSize(890, 375); // 800 pixels of travel across the 90 wide view
            window->SetContent(&content);
            window->SetTicCounts(32, 5);
            child.SetSize(30, 10);
            content.AddChild(&child, false);
        } else {
            window = &FilledList(rig);
        }
        Vabo::ScrollBar& bar = horizontal ? *window->GetHorizontalBar() : *window->GetVerticalBar();
        Vabo::TicScrollObject& track = bar.GetScrollObject();
        std::uint32_t seed = 20261207;
        const auto next = [&seed](int n) {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(n));
        };
        const std::vector<std::function<void()>> moves = {
            [&] { DragBar(rig, track, next(49) - 24); },
            [&] { ClickPart(rig, bar.GetStartButton()); },
            [&] { ClickPart(rig, bar.GetEndButton()); },
            [&] { ClickPart(rig, track.GetLeadingTrack()); },
            [&] { ClickPart(rig, track.GetTrailingTrack()); },
            [&] { horizontal ? window->ScrollLinesX(next(7) - 3) : rig.Wheel(40, 50, next(2) ? 120 : -120); },
            [&] {
                if (horizontal) {
                    child.SetPosition(next(860), 0);
                    window->ScrollIntoViewX(&child);
                } else {
                    window->SelectIndex(next(kItems));
                }
            },
        };
        const auto offset = [&] {
            return horizontal ? window->GetView().GetClipOffsetX() : window->GetView().GetClipOffsetY();
        };
        int apart = 0;
        int checked = 0;
        for (int i = 0; i < 400; ++i) {
            const int kind = next(int(moves.size()));
            const int offsetBefore = offset();
            const int ticBefore = track.GetTicFromBar();
            moves[std::size_t(kind)]();
            // A drag may leave the bar between tics; a selection in view moves nothing.
            if (kind == 0 || (offset() == offsetBefore && track.GetTicFromBar() == ticBefore))
                continue;
            ++checked;
            const int limit = horizontal ? 800 : kItems * kItemHeight - 100;
            const int line = horizontal ? window->GetStepX() : window->GetStepY();
            apart += std::min(track.GetTicFromBar() * line, limit) != offset();
        }
        EXPECT_EQ(apart, 0) << "apart after " << apart << " of " << checked << " moves";
        content.RemoveChild(&child, false);
    }
}

// Rows of several heights, where a tic is not a line: from the bottom, each
// move takes the view its lines (of the last row's height) from its own place,
// and the bar stands at the tic nearest the view's share of the travel, short
// of the last while the view is.
TEST(ScrollWindow, RowsOfMixedHeightsMoveTheViewFromItsOwnPlace)
{
    struct Case {
        int lastRow;
        const char* what;
        std::function<void(ScrollRig&, Vabo::NewScrolledListBox&)> act;
        int offset;
        int tic;
    };
    const auto backArrow = [](ScrollRig& rig, Vabo::NewScrolledListBox& list) {
        ClickPart(rig, list.GetVerticalBar()->GetStartButton());
    };
    const auto pageBack = [](ScrollRig& rig, Vabo::NewScrolledListBox& list) {
        ClickPart(rig, list.GetVerticalBar()->GetScrollObject().GetLeadingTrack());
    };
    const auto wheelUp = [](ScrollRig& rig, Vabo::NewScrolledListBox&) { rig.Wheel(40, 50, 120); };
    const Case cases[] = {
        {10, "the back arrow", backArrow, 300, 8},
        {10, "the track above the bar", pageBack, 280, 8},
        {10, "a wheel step up", wheelUp, 300, 8},
        {10, "two lines back", [](ScrollRig&, Vabo::NewScrolledListBox& list) { list.ScrollLinesY(-2); }, 290, 8},
        {10, "the sixth row brought into view", [](ScrollRig&, Vabo::NewScrolledListBox& list) { list.SelectIndex(5); },
         200, 6},
        {60, "the back arrow", backArrow, 300, 8},
        {60, "four back arrows",
         [&](ScrollRig& rig, Vabo::NewScrolledListBox& list) {
             for (int i = 0; i < 4; ++i)
                 backArrow(rig, list);
         },
         120, 3},
        {60, "the track above the bar", pageBack, 180, 5},
        {60, "a wheel step up", wheelUp, 300, 8},
        {35, "the back arrow from a bottom that is no whole step", backArrow, 300, 8},
        {35, "the track above the bar", pageBack, 230, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.lastRow) + ": " + c.what);
        ScrollRig rig("ListBoxes.xml", 220, 150);
        Vabo::NewScrolledListBox& list = MixedList(rig, c.lastRow);
        Vabo::TicScrollObject& track = list.GetVerticalBar()->GetScrollObject();
        ASSERT_EQ(track.GetTicCount(), 9);
        DragBar(rig, track, 200);
        ASSERT_EQ(Offset(list), kMixedRows * kMixedRowHeight + c.lastRow - 100);
        c.act(rig, list);
        EXPECT_EQ(Offset(list), c.offset);
        EXPECT_EQ(track.GetTicFromBar(), c.tic);
    }
}

// A held bar that the pointer does not move (a move across it or on the
// spot, a drag on past the end it stands at, a bar that fills its track)
// leaves the view where it is, also where several tics share the bar's place
// and where the bar stands at the tic nearest the view's share of the travel.
TEST(ScrollWindow, AHeldBarThatDoesNotMoveLeavesTheView)
{
    const auto longList = [](ScrollRig& rig) -> Vabo::NewScrolledListBox& {
        Vabo::NewScrolledListBox& list = FilledList(rig);
        for (int i = kItems; i < 1000; ++i)
            list.AddItem(Item(i), false);
        rig.Draw();
        return list;
    };
    const auto shortTrack = [](ScrollRig& rig) -> Vabo::NewScrolledListBox& {
        Vabo::NewScrolledListBox& list = FilledList(rig);
        list.SetSize(100, 28); // 8 pixels of track between the arrows, the least bar
        rig.Draw();
        return list;
    };
    const auto arrows = [](ScrollRig& rig, int n) {
        for (int i = 0; i < n; ++i)
            rig.Click(95, 95);
    };
    const auto wheel = [](ScrollRig& rig, int n) {
        for (int i = 0; i < n; ++i)
            rig.Wheel(40, 20, -120);
    };
    struct Case {
        const char* what;
        std::function<Vabo::NewScrolledListBox&(ScrollRig&)> list;
        std::function<void(ScrollRig&, Vabo::NewScrolledListBox&)> before;
        int dx;
        int dy;
    };
    const Case cases[] = {
        {"many tics a pixel, across the bar", longList, [&](ScrollRig& rig, auto&) { arrows(rig, 5); }, 3, 0},
        {"many tics a pixel, on the spot", longList, [&](ScrollRig& rig, auto&) { arrows(rig, 5); }, 0, 0},
        {"rows of several heights, across the bar", [](ScrollRig & rig) -> auto& {return MixedList(rig, 10);
}
, [&](ScrollRig& rig, auto&) { wheel(rig, 1); }, 3, 0
}
, {"a bar filling its track, along it", shortTrack, [&](ScrollRig& rig, auto&) { wheel(rig, 3); }, 0, 5},
    {"a bar at the end, on past it", FilledList,
     [](ScrollRig& rig, Vabo::NewScrolledListBox& list) {
         DragBar(rig, list.GetVerticalBar()->GetScrollObject(), 200);
     },
     0, 20},
}
;
for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScrollRig rig("ListBoxes.xml", 220, 150);
    Vabo::NewScrolledListBox& list = c.list(rig);
    c.before(rig, list);
    const int offset = Offset(list);
    const int tic = Tic(list);
    ASSERT_GT(offset, 0);
    Vabo::ScrollObject::BarWrapper& bar = list.GetVerticalBar()->GetScrollObject().GetBar();
    const int x = bar.GetWindowX() + bar.GetWidth() / 2;
    const int y = bar.GetWindowY() + bar.GetHeight() / 2;
    rig.Move(x, y);
    rig.Press(x, y);
    rig.Move(x + c.dx, y + c.dy);
    rig.Release(x + c.dx, y + c.dy);
    EXPECT_EQ(Offset(list), offset);
    EXPECT_EQ(Tic(list), tic);
}
}

// A seeded walk over rows of several heights: after every arrow, page and
// wheel step the view has moved its lines from its own place, drags between
// them or not, and every selection shows. A last row of no height leaves the
// lines as high as the row before it.
TEST(ScrollWindow, TheViewMovesFromItsOwnPlaceThroughoutARandomWalkOverRowsOfMixedHeights)
{
    for (const int lastRow : {10, 35, 60, 0}) {
        SCOPED_TRACE(lastRow);
        ScrollRig rig("ListBoxes.xml", 220, 150);
        Vabo::NewScrolledListBox& list = MixedList(rig, lastRow);
        const int line = lastRow > 0 ? lastRow : kMixedRowHeight;
        Vabo::ScrollBar& bar = *list.GetVerticalBar();
        Vabo::TicScrollObject& track = bar.GetScrollObject();
        const int limit = kMixedRows * kMixedRowHeight + lastRow - 100;
        std::uint32_t seed = 20261208;
        const auto next = [&seed](int n) {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(n));
        };
        int selected = 0;
        // Each move with the lines it takes the view (0: a drag or a
        // selection); false when it could not be made.
        const std::vector<std::pair<int, std::function<bool()>>> moves = {
            {0,
             [&] {
                 DragBar(rig, track, next(49) - 24);
                 return true;
             }},
            {-1, [&] { return ClickPart(rig, bar.GetStartButton()); }},
            {1, [&] { return ClickPart(rig, bar.GetEndButton()); }},
            {-3, [&] { return ClickPart(rig, track.GetLeadingTrack()); }},
            {3, [&] { return ClickPart(rig, track.GetTrailingTrack()); }},
            {-1,
             [&] {
                 rig.Wheel(40, 50, 120);
                 return true;
             }},
            {1,
             [&] {
                 rig.Wheel(40, 50, -120);
                 return true;
             }},
            {0, [&] { return list.SelectIndex(selected = next(kMixedRows + 1)); }},
        };
        int apart = 0;
        int checked = 0;
        for (int i = 0; i < 400; ++i) {
            const std::size_t kind = std::size_t(next(int(moves.size())));
            const int before = Offset(list);
            if (!moves[kind].second() || kind == 0)
                continue;
            ++checked;
            bool down = false;
            const int lines = moves[kind].first;
            apart += lines != 0 ? Offset(list) != std::clamp(before + lines * line, 0, limit)
                                : !list.IsChildVisibleY(list.GetList().GetItemAt(selected), down);
        }
        EXPECT_EQ(apart, 0) << "apart after " << apart << " of " << checked << " moves";
    }
}

namespace {

// One scroll window of the family: `count` rows (columns across) of `size`
// pixels, the last one `last` high (wide), in a view `view` long, with
// automatic tic counts (`tics` 0) or a fixed count.
struct Family {
    int count;
    int size;
    int last;
    int view;
    int tics;
    const char* what;
};

// Every combination of rows of one height or several, automatic or fixed tic
// counts, a travel the count (or the step) divides or a prime one, and short
// or long lists; then the sizes that once parted the view from its bar: tic
// counts of one and two, and above the travel; views of no whole number of
// rows; content shorter than the view or one view long; rows that a line
// steps over.
const Family kFamilies[] = {
    {30, 10, 10, 100, 0, "one height, automatic, travel 200 of steps of 10"},
    {31, 9, 9, 100, 0, "one height, automatic, prime travel 179"},
    {2000, 10, 10, 100, 0, "one height, automatic, 2000 rows, travel 19900"},
    {2001, 9, 9, 100, 0, "one height, automatic, 2001 rows, prime travel 17909"},
    {30, 10, 19, 100, 0, "several heights, automatic, travel 209 of steps of 19"},
    {30, 10, 7, 100, 0, "several heights, automatic, prime travel 197"},
    {2001, 10, 25, 100, 0, "several heights, automatic, 2001 rows, travel 19925 of steps of 25"},
    {2001, 10, 13, 100, 0, "several heights, automatic, 2001 rows, prime travel 19913"},
    {30, 10, 10, 100, 8, "one height, 8 tics over 200"},
    {31, 9, 9, 100, 8, "one height, 8 tics over a prime 179"},
    {2000, 10, 10, 100, 100, "one height, 2000 rows, 100 tics over 19900"},
    {2001, 9, 9, 100, 32, "one height, 2001 rows, 32 tics over a prime 17909"},
    {30, 10, 19, 100, 11, "several heights, 11 tics over 209"},
    {30, 10, 7, 100, 8, "several heights, 8 tics over a prime 197"},
    {2001, 10, 25, 100, 25, "several heights, 2001 rows, 25 tics over 19925"},
    {2001, 10, 13, 100, 32, "several heights, 2001 rows, 32 tics over a prime 19913"},
    {1865, 10, 10, 100, 0, "1865 rows of 10 in a view of 100"},
    {181, 5, 5, 90, 32, "32 tics over 815"},
    {30, 10, 10, 100, 1, "one tic"},
    {30, 10, 10, 100, 2, "two tics"},
    {30, 10, 10, 100, 201, "travel + 1 tics, a step of 0"},
    {30, 10, 10, 100, 400, "400 tics over 200"},
    {30, 10, 10, 100, 5000, "5000 tics over 200"},
    {30, 10, 7, 100, 5000, "several heights, 5000 tics over 197"},
    {31, 9, 9, 95, 0, "one height, automatic, a view of 95"},
    {30, 10, 7, 95, 0, "several heights, automatic, a view of 95"},
    {31, 9, 9, 95, 32, "32 tics, a view of 95"},
    {18, 25, 32, 100, 0, "eighteen rows, the last 32 high"},
    {5, 10, 10, 100, 0, "shorter than the view"},
    {10, 10, 10, 100, 0, "one view long"},
    {10, 10, 10, 100, 3, "one view long, 3 tics"},
    {5, 20, 20, 80, 0, "five rows of 20 in 80"},
    {10, 20, 20, 100, 0, "ten rows of 20 in 100"},
    {30, 10, 60, 65, 0, "rows shorter than the view less a line"},
    {30, 10, 0, 100, 0, "the last row of no height"},
    {30, 10, 0, 100, 8, "the last row of no height, 8 tics"},
};

// What the walk below checks after every move, on both axes.
enum Invariant {
    WithinTravelAndTrack,
    OnItsTic,
    WithinATic,
    EndsTogether,
    RowShows,
    DragFollows,
    StepHolds,
    kInvariants
};
const char* const kInvariantNames[] = {"within travel and track",       "on its tic",
                                       "within a tic of the share",     "at an end together",
                                       "a row brought into view shows", "a dragged bar goes with the pointer",
                                       "a step during a drag holds"};

} // namespace

// A seeded walk of every kind of move over the whole family, along each axis,
// the rows growing and shrinking and the view too. After every move, on both
// axes, the view lies within its travel and the bar inside its track; where
// tics stand for positions of the view (fixed counts, tic k at k x travel /
// count; automatic ones of a tic per step: rows of one height, and any
// columns across) the view stands at the position of the bar's tic;
// everywhere the bar's share of its track lies within a tic (and a pixel) of
// the view's share of the travel, and one stands at an end exactly when the
// other does; a row brought into view shows wherever a position of the view
// shows it; a drag leaves the bar within a place of the view from where the
// pointer took it, and a wheel step or a line step (as a key makes) in the
// middle of a drag holds when the pointer moves on. Over rows of several
// heights each line move takes the view its lines from where it stood.
TEST(ScrollWindow, TheViewKeepsToItsBarThroughoutARandomWalkOverTheWholeFamily)
{
    constexpr int kMoves = 150;
    constexpr int kCross = 60; // the content's other extent, which the 70 x 90 view shows whole
    int moves = 0;
    std::vector<int> broken(kInvariants, 0);
    std::vector<int> members(kInvariants, 0);
    for (const bool horizontal : {false, true}) {
        for (const Family& f : kFamilies) {
            SCOPED_TRACE(std::string(horizontal ? "across, " : "down, ") + f.what);
            ScrollRig rig("ListBoxes.xml", 220, 150);
            auto* window = rig.Find<Vabo::NewScrolledListBox>("Both");
            ASSERT_NE(window, nullptr);
            rig.Draw(); // the list lays itself out once, before the rows take its place
            const auto resize = [&](int view) {
                horizontal ? window->SetSize(view + 10, 80) : window->SetSize(100, view + 10);
            };
            resize(f.view);
            // As a list sets itself up: a step of the last row that has a
            // height, a page of three.
            const int line = f.last > 0 ? f.last : f.size;
            horizontal ? window->SetStepX(line) : window->SetStepY(line);
            horizontal ? window->SetPageX(3) : window->SetPageY(3);
            std::vector<std::unique_ptr<Vabo::GuiObject>> rows;
            Vabo::GridLayout content;
            int length = 0;
            // Rows laid end to end, handed to the window as a list hands its own.
            const auto setRows = [&](int count) {
                rows.clear();
                for (int i = 0; i < count; ++i) {
                    const int size = i + 1 == count ? f.last : f.size;
                    rows.push_back(std::make_unique<Vabo::GuiObject>(0, 0));
                    horizontal ? rows.back()->SetPosition(i * f.size, 0) : rows.back()->SetPosition(0, i * f.size);
                    horizontal ? rows.back()->SetSize(size, kCross) : rows.back()->SetSize(kCross, size);
                }
                length = (count - 1) * f.size + f.last;
                horizontal ? content.SetSize(length, kCross) : content.SetSize(kCross, length);
                window->SetContent(&content);
                if (f.tics == 0 && !horizontal)
                    window->SetLinesPerView(count);
            };
            setRows(f.count);
            if (f.tics > 0)
                horizontal ? window->SetTicCounts(f.tics, 1) : window->SetTicCounts(1, f.tics);
            const bool positions = f.tics > 0 || f.size == f.last || horizontal;

            Vabo::ScrollBar& bar = horizontal ? *window->GetHorizontalBar() : *window->GetVerticalBar();
            Vabo::TicScrollObject& track = bar.GetScrollObject();
            const auto offset = [&] {
                return horizontal ? window->GetView().GetClipOffsetX() : window->GetView().GetClipOffsetY();
            };
            const auto limit = [&] {
                return std::max(length - (horizontal ? window->GetView().GetWidth() : window->GetView().GetHeight()),
                                0);
            };
            std::uint32_t seed = 20261208u + static_cast<std::uint32_t>(f.count * 31 + f.last + f.tics);
            const auto next = [&seed](int n) {
                seed = seed * 1664525u + 1013904223u;
                return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(n));
            };
            bool resized = false;
            Vabo::GuiObject* shown = nullptr;
            long long dragFrom = -1;
            long long dragBy = 0;
            bool stepUndone = false;
            // Each move with the lines it takes a view over rows of several
            // heights (0: none to count).
            const std::vector<std::function<int()>> kinds = {
                [&] { return ClickPart(rig, bar.GetStartButton()) ? -1 : 0; },
                [&] { return ClickPart(rig, bar.GetEndButton()) ? 1 : 0; },
                [&] { return ClickPart(rig, track.GetLeadingTrack()) ? -3 : 0; },
                [&] { return ClickPart(rig, track.GetTrailingTrack()) ? 3 : 0; },
                [&] {
                    const int lines = next(7) - 3;
                    horizontal ? window->ScrollLinesX(lines) : window->ScrollLinesY(lines);
                    return lines;
                },
                [&] {
                    dragFrom = track.GetBarPosition();
                    dragBy = next(5) == 0 ? next(401) - 200 : next(41) - 20;
                    DragBar(rig, track, int(dragBy));
                    return 0;
                },
                [&] {
                    shown = rows[std::size_t(next(int(rows.size())))].get();
                    horizontal ? window->ScrollIntoViewX(shown) : window->ScrollIntoViewY(shown);
                    return 0;
                },
                [&] {
                    resize(resized ? f.view : f.view / 2 + next(f.view));
                    resized = !resized;
                    return 0;
                },
                [&] {
                    setRows(1 + next(2 * f.count));
                    return 0;
                },
                [&] {
                    // The wheel, a timed scroll and ScrollStep move the view down only.
                    if (horizontal)
                        return 0;
                    if (next(3) == 0) {
                        rig.Wheel(130, 20, next(2) ? 120 : -120);
                        return 0;
                    }
                    const int lines = next(7) - 3;
                    window->StartTimedScroll(lines, 10);
                    for (int i = 0; i <= std::abs(lines); ++i)
                        rig.Tick(11);
                    return lines;
                },
                [&] {
                    if (horizontal || f.tics == 0)
                        return 0;
                    Vabo::Signal::ScrollStep step(next(2));
                    window->SendToSelf(&step);
                    return 0;
                },
                [&] {
                    // Part of a drag, a step, a move on the spot, the rest of the drag.
                    Vabo::ScrollObject::BarWrapper& held = track.GetBar();
                    const int x = held.GetWindowX() + held.GetWidth() / 2;
                    const int y = held.GetWindowY() + held.GetHeight() / 2;
                    const auto to = [&](int d) { horizontal ? rig.Move(x + d, y) : rig.Move(x, y + d); };
                    rig.Move(x, y);
                    rig.Press(x, y);
                    const int part = next(21) - 10;
                    for (int d = 0; d != part;)
                        to(d += part > 0 ? 1 : -1);
                    const int way = next(2) ? 1 : -1;
                    if (horizontal)
                        window->ScrollLinesX(way);
                    else if (next(2))
                        rig.Wheel(130, 20, -120 * way);
                    else
                        window->ScrollLinesY(way);
                    const int stepped = offset();
                    to(part);
                    stepUndone = offset() != stepped;
                    dragFrom = track.GetBarPosition();
                    const int rest = next(21) - 10;
                    for (int d = 0; d != rest;)
                        to(part + (d += rest > 0 ? 1 : -1));
                    horizontal ? rig.Release(x + part + rest, y) : rig.Release(x, y + part + rest);
                    // The pointer counts only along the track.
                    const int start = horizontal ? track.GetWindowX() : track.GetWindowY();
                    const auto along = [&](int at) { return std::clamp(at, start, start + track.GetAxisExtent()); };
                    const int from = (horizontal ? x : y) + part;
                    dragBy = along(from + rest) - along(from);
                    return 0;
                },
            };
            // The invariants on one axis; those of the walk's own axis also
            // against the move just made.
            const auto check = [&](bool across, std::vector<bool>& failed) {
                Vabo::TicScrollObject& t =
                    (across ? *window->GetHorizontalBar() : *window->GetVerticalBar()).GetScrollObject();
                const bool own = across == horizontal;
                const long long view = across ? window->GetView().GetWidth() : window->GetView().GetHeight();
                const long long travel = own ? limit() : std::max(kCross - view, 0LL);
                const long long at = across ? window->GetView().GetClipOffsetX() : window->GetView().GetClipOffsetY();
                const long long barTravel = std::max(t.GetTravel(), 0);
                const long long place = t.GetBarPosition();
                const long long count = t.GetTicCount();
                failed[WithinTravelAndTrack] =
                    failed[WithinTravelAndTrack] || at < 0 || at > travel || place < 0 || place > barTravel;
                failed[EndsTogether] =
                    failed[EndsTogether] || (at == 0) != (place == 0) || (at == travel) != (place == barTravel);
                if (travel > 0 && barTravel > 0 && count > 0)
                    failed[WithinATic] = failed[WithinATic]
                        || std::abs(double(place) / double(barTravel) - double(at) / double(travel))
                            > 1.0 / double(count) + 1.0 / double(barTravel);
                if (!own || travel <= 0)
                    return;
                failed[StepHolds] = failed[StepHolds] || stepUndone;
                const auto position = [&](long long k) {
                    return k >= count ? travel
                        : f.tics > 0  ? k * travel / count
                                      : std::min<long long>(k * line, travel);
                };
                if (positions)
                    failed[OnItsTic] = failed[OnItsTic] || at != position(t.GetTicFromBar());
                if (dragFrom >= 0 && barTravel > 0) {
                    const long long wanted = std::clamp(dragFrom + dragBy, 0LL, barTravel);
                    failed[DragFollows] =
                        failed[DragFollows] || std::abs(place - wanted) > barTravel / std::min(count, travel) + 1;
                }
                if (shown != nullptr) {
                    const long long start = across ? shown->GetX() : shown->GetY();
                    const long long end = (across ? shown->GetRight() : shown->GetBottom()) + 1;
                    const auto shows = [&](long long o) {
                        return (start >= o && end <= o + view) || (start < o && end > o + view);
                    };
                    bool anywhere = false;
                    for (long long k = 0; k <= (positions ? count : travel) && !anywhere; ++k)
                        anywhere = shows(positions ? position(k) : k);
                    failed[RowShows] = failed[RowShows] || (anywhere && !shows(at));
                }
            };
            int apart = 0;
            std::vector<int> failures(kInvariants, 0);
            for (int i = 0; i < kMoves; ++i) {
                const std::size_t kind = std::size_t(next(int(kinds.size())));
                const int before = offset();
                shown = nullptr;
                dragFrom = -1;
                stepUndone = false;
                const int lines = kinds[kind]();
                rig.Draw();
                ++moves;
                std::vector<bool> failed(kInvariants, false);
                check(false, failed);
                check(true, failed);
                for (int k = 0; k < kInvariants; ++k)
                    failures[std::size_t(k)] += failed[std::size_t(k)];
                if (!positions && lines != 0 && !resized)
                    apart += offset() != std::clamp(before + lines * line, 0, limit());
            }
            EXPECT_EQ(apart, 0) << "lines not from the view's place after " << apart << " of " << kMoves << " moves";
            for (int k = 0; k < kInvariants; ++k) {
                EXPECT_EQ(failures[std::size_t(k)], 0) << kInvariantNames[k];
                broken[std::size_t(k)] += failures[std::size_t(k)];
                members[std::size_t(k)] += failures[std::size_t(k)] > 0;
            }
        }
    }
    for (int k = 0; k < kInvariants; ++k)
        std::printf("%s: %d members, %d moves\n", kInvariantNames[k], members[std::size_t(k)], broken[std::size_t(k)]);
    RecordProperty("moves", moves);
}
