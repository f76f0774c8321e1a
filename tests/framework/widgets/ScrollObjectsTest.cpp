// Progress bars from a skin and scroll bars built from skin definitions,
// driven by clicks, drags and moves through a screen manager and checked by
// their bar, their tics, the signals they send and what they draw.
#include "framework/widgets/ProgressBar.h"
#include "framework/widgets/ScrollBar.h"
#include "framework/widgets/ScrollObjectBarWrapper.h"
#include "framework/widgets/ScrollObjectSignal.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "ScrollRig.h"
#include "framework/drawing/Color.h"
#include "framework/widgets/GridLayout.h"
#include "tests/framework/drawing/PixelExpect.h"

using GdiplusGfxLayer::Color;
using Vabo::Signal::ScrollObjectSignal;

namespace {

const Color kTrack(255, 0x23, 0x27, 0x2E);
const Color kBar(255, 0x38, 0xBD, 0xF8);

struct Move {
    int direction;
    int kind;
    int amount;
    bool horizontal;
    bool operator==(const Move& other) const
    {
        return direction == other.direction && kind == other.kind && amount == other.amount
            && horizontal == other.horizontal;
    }
};

std::ostream& operator<<(std::ostream& out, const Move& move)
{
    return out << "{dir " << move.direction << ", kind " << move.kind << ", amount " << move.amount << ", h "
               << move.horizontal << "}";
}

void Record(Vabo::GuiObject& object, std::vector<Move>& moves)
{
    object.Connect(
        Vabo::Signal::TypeIdOf<ScrollObjectSignal>(), nullptr,
        [&moves](Vabo::Signal::Base* signal, Vabo::GuiObject*) {
            auto* scroll = static_cast<ScrollObjectSignal*>(signal);
            moves.push_back(Move{scroll->direction, scroll->kind, scroll->amount, scroll->horizontal});
        },
        object.Watch());
}

// A horizontal bar from the skin's definition at (10, 60), 120 by 10: arrows
// 10 wide at each end, the scroll object over x 20 to 119 in the window.
std::shared_ptr<Vabo::ScrollBar> PlaceBar(ScrollRig& rig, const char* definition, int width, int height)
{
    auto bar = std::make_shared<Vabo::ScrollBar>(rig.Definition(definition));
    auto& root = dynamic_cast<Vabo::GridLayout&>(rig.Root());
    root.AddObjectAt(bar.get(), Vabo::GridVal(10, 0), Vabo::GridVal(60, 0), Vabo::GridVal(float(width), 0),
                     Vabo::GridVal(float(height), 0));
    root.UpdateLayout();
    return bar;
}

} // namespace

TEST(ProgressBar, RunsFromNoneToAllAndResets)
{
    ScrollRig rig("Scrolls.xml", 200, 100);
    auto* progress = rig.Find<Vabo::ProgressBar>("Progress");
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->GetTicCount(), 100);
    EXPECT_EQ(progress->GetPageCount(), 10);
    EXPECT_EQ(progress->GetBar().GetWidth(), 0);

    EXPECT_EQ(progress->Advance(30), 30);
    EXPECT_EQ(progress->GetBar().GetWidth(), 30);
    auto picture = rig.Draw();
    EXPECT_TRUE(PixelNear(*picture, 10 + 15, 15, kBar));
    EXPECT_TRUE(PixelNear(*picture, 10 + 60, 15, kTrack));

    EXPECT_EQ(progress->Advance(150), 100) << "never past all";
    EXPECT_EQ(progress->GetBar().GetWidth(), 100);
    EXPECT_EQ(progress->GetBar().GetX(), 0);
    EXPECT_TRUE(PixelNear(*rig.Draw(), 10 + 95, 15, kBar));

    progress->Reset(0);
    EXPECT_EQ(progress->GetValue(), 0);
    EXPECT_EQ(progress->GetBar().GetWidth(), 0);
    EXPECT_TRUE(PixelNear(*rig.Draw(), 10 + 5, 15, kTrack));
    progress->Reset(10);
    EXPECT_EQ(progress->GetBar().GetWidth(), 10);
}

TEST(ProgressBar, StepsOfAnySizeStopAtAllOrNone)
{
    ScrollRig rig("Scrolls.xml", 200, 100);
    auto* progress = rig.Find<Vabo::ProgressBar>("Progress");
    ASSERT_NE(progress, nullptr);
    struct Case {
        int start;
        int step;
        int value;
        int barWidth;
    };
    const Case cases[] = {
        {30, INT_MAX, 100, 100}, {100, INT_MAX, 100, 100}, {30, INT_MIN, 0, 0}, {0, INT_MIN, 0, 0}, {99, 1, 100, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.start) + " + " + std::to_string(c.step));
        progress->Reset(c.start);
        EXPECT_EQ(progress->Advance(c.step), c.value);
        EXPECT_EQ(progress->GetBar().GetWidth(), c.barWidth);
    }
}

TEST(ScrollObject, BarLengthFollowsItsFractionAboveTheMinimum)
{
    ScrollRig rig("Scrolls.xml", 200, 100);
    auto bar = PlaceBar(rig, "HorizontalBar", 120, 10);
    Vabo::TicScrollObject& track = bar->GetScrollObject();
    ASSERT_EQ(track.GetWidth(), 100);
    EXPECT_EQ(track.GetBarLength(), 25) << "InitialBarSizePercentage is a fraction";

    track.SetBarFraction(0.0f);
    EXPECT_EQ(track.GetBarLength(), 0) << "nothing to show is no bar, minimum or not";
    track.SetBarFraction(0.001f);
    EXPECT_EQ(track.GetBarLength(), 8);
    track.SetBarFraction(2.5f);
    EXPECT_EQ(track.GetBarLength(), 100);
    EXPECT_EQ(track.GetTravel(), 0);

    // A bar that fills the track reports the end on every move.
    std::vector<Move> moves;
    Record(track, moves);
    track.MoveBar(-5, true);
    track.MoveBar(7, true);
    EXPECT_EQ(moves, (std::vector<Move>{{0, 4, -5, true}, {0, 4, 7, true}}));

    // Resizing keeps both the fraction and the tic.
    track.SetBarFraction(0.5f);
    track.SetTicCount(10);
    track.SetTic(4, false);
    EXPECT_EQ(track.GetBarX(), 20);
    bar->SetSize(220, 10);
    EXPECT_EQ(track.GetWidth(), 200);
    EXPECT_EQ(track.GetBarLength(), 100);
    EXPECT_EQ(track.GetTic(), 4);
    EXPECT_EQ(track.GetBarX(), 40);
}

TEST(ScrollBar, StepsByArrowsAndPagesByTrackClicks)
{
    ScrollRig rig("Scrolls.xml", 200, 100);
    auto bar = PlaceBar(rig, "HorizontalBar", 120, 10);
    Vabo::TicScrollObject& track = bar->GetScrollObject();
    track.SetTicCount(10);
    track.SetTicsPerPage(3);
    EXPECT_EQ(track.GetPageCount(), 4);
    std::vector<Move> moves;
    Record(track, moves);

    for (int i = 0; i < 3; ++i)
        rig.Click(125, 65);
    EXPECT_EQ(track.GetTic(), 3);
    EXPECT_EQ(track.GetBarX(), 22) << "75 pixels of travel over 10 tics";
    EXPECT_EQ(moves, (std::vector<Move>(3, Move{0, 0, 0, true})));
    rig.Click(15, 65);
    EXPECT_EQ(track.GetTic(), 2);
    EXPECT_EQ(moves.back(), (Move{1, 0, 0, true}));

    // Before the bar pages back, after it pages forward, three tics a page.
    moves.clear();
    rig.Click(110, 65);
    EXPECT_EQ(track.GetTic(), 5);
    track.SetTic(9, false);
    rig.Click(115, 65);
    EXPECT_EQ(track.GetTic(), 10) << "clamped to the last tic";
    EXPECT_EQ(track.GetBarX(), 75);
    rig.Click(25, 65);
    EXPECT_EQ(track.GetTic(), 7);
    EXPECT_EQ(moves, (std::vector<Move>{{0, 1, 0, true}, {0, 1, 0, true}, {1, 1, 0, true}}));
    rig.Move(190, 90);
    auto picture = rig.Draw();
    EXPECT_TRUE(PixelNear(*picture, 20 + 52 + 12, 65, kBar));
    EXPECT_TRUE(PixelNear(*picture, 20 + 30, 65, kTrack));

    // The back arrow at the first tic stays there and still says so.
    track.SetTic(0, false);
    moves.clear();
    rig.Click(15, 65);
    EXPECT_EQ(track.GetTic(), 0);
    EXPECT_EQ(moves, (std::vector<Move>{{1, 0, 0, true}}));
}

TEST(ScrollBar, DragsTheBarWithinTheTrack)
{
    ScrollRig rig("Scrolls.xml", 200, 100);
    auto bar = PlaceBar(rig, "HorizontalBar", 120, 10);
    Vabo::TicScrollObject& track = bar->GetScrollObject();
    track.SetTicCount(10);
    std::vector<Move> moves;
    Record(track, moves);

    rig.Move(30, 65);
    rig.Press(30, 65);
    EXPECT_TRUE(track.IsDragging());
    rig.Move(50, 65);
    EXPECT_EQ(track.GetBarX(), 20);
    EXPECT_EQ(moves, (std::vector<Move>{{0, 2, 20, true}}));
    // Past the end: the bar stops at the end and the anchor at the track's end,
    // so the way back starts from there.
    rig.Move(180, 65);
    EXPECT_EQ(track.GetBarX(), 75);
    EXPECT_EQ(moves.back().kind, 4);
    rig.Move(110, 65);
    EXPECT_EQ(track.GetBarX(), 65);
    EXPECT_EQ(moves.back(), (Move{0, 2, -10, true}));
    rig.Move(0, 65);
    EXPECT_EQ(track.GetBarX(), 0);
    EXPECT_EQ(moves.back().kind, 3);
    rig.Release(0, 65);
    EXPECT_FALSE(track.IsDragging());
    const std::size_t count = moves.size();
    rig.Move(60, 65);
    EXPECT_EQ(track.GetBarX(), 0) << "no drag after the release";
    EXPECT_EQ(moves.size(), count);

    // A stepped bar steps from where the drag left it.
    rig.Press(30, 65);
    rig.Move(60, 65);
    rig.Release(60, 65);
    EXPECT_EQ(track.GetBarX(), 30);
    EXPECT_EQ(track.GetTicFromBar(), 4);
    rig.Click(125, 65);
    EXPECT_EQ(track.GetTic(), 5);
}

TEST(ScrollBar, NeverShrinksBelowItsArrowsAndMinimumBar)
{
    ScrollRig rig("Scrolls.xml", 200, 100);
    auto horizontal = PlaceBar(rig, "HorizontalBar", 120, 10);
    EXPECT_EQ(horizontal->GetStartButton().GetWidth(), 10);
    horizontal->SetSize(5, 10);
    EXPECT_EQ(horizontal->GetWidth(), 8 + 10 + 10);
    EXPECT_EQ(horizontal->GetScrollObject().GetWidth(), 8);

    auto vertical = std::make_shared<Vabo::ScrollBar>(rig.Definition("VerticalBar"));
    EXPECT_EQ(vertical->GetWidth(), 10);
    EXPECT_EQ(vertical->GetHeight(), 100);
    EXPECT_EQ(vertical->GetScrollObject().GetHeight(), 80);
    EXPECT_EQ(vertical->GetEndButton().GetY() + vertical->GetEndButton().GetParent()->GetY(), 90);
    vertical->SetSize(10, 0);
    EXPECT_EQ(vertical->GetHeight(), 28);

    // Fewer than one tic per page is refused and the page count stays.
    Vabo::TicScrollObject& track = vertical->GetScrollObject();
    track.SetTicCount(9);
    track.SetTicsPerPage(3);
    track.SetTicsPerPage(0);
    track.SetTicsPerPage(-2);
    EXPECT_EQ(track.GetPageCount(), 3);
    // With no tics the bar rests at the start.
    track.SetTicCount(0);
    EXPECT_FALSE(track.SetTic(5, false));
    EXPECT_EQ(track.GetBarY(), 0);
    EXPECT_EQ(track.GetTicFromBar(), 0);
}
