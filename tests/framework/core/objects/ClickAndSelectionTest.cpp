// Input the tree handles itself: press and release into clicks, selection through the
// tree, keyboard navigation over the tab list, window activation.
#include <gtest/gtest.h>

#include "Probe.h"
#include "SkinTree.h"
#include "framework/core/InputSignals.h"
#include "framework/core/ObjectSignals.h"
#include "support/FakeScreenManager.h"

using ObjectsTest::Probe;
using ObjectsTest::SendAt;
namespace Signal = Vabo::Signal;

namespace {

using Log = std::vector<std::string>;

// A 200 x 100 root with a screen manager, and the log its probes write.
struct RootTree : ::testing::Test {
    RootTree() { root.SetScreenManager(&screens); }
    Log log;
    FakeScreenManager screens;
    Probe root{"Root", log, 0, 0, 200, 100};
};

struct ClickTree : RootTree {
    ClickTree()
    {
        root.AddChild(&button, false);
        button.AddSlot<Signal::Activate>(&Probe::Slot, &listener);
        button.AddSlot<Signal::MouseClick>(&Probe::PointSlot, &listener);
    }
    Probe button{"Button", log, 20, 10, 40, 20};
    Probe listener{"Listener", log};
};

} // namespace

TEST_F(ClickTree, PressAndReleaseOnTheObjectActivateAndThenClick)
{
    button.SetFocusOnClick(true);
    SendAt<Signal::LeftButtonDown>(root, 25, 15);
    EXPECT_TRUE(button.IsPressed());
    EXPECT_EQ(5, button.GetPressPoint().x);
    EXPECT_EQ(&button, screens.focus);
    SendAt<Signal::LeftButtonUp>(root, 30, 20);
    EXPECT_FALSE(button.IsPressed());
    EXPECT_EQ((Log{"Listener:Activate:Button", "Listener@30,20"}), log);
    EXPECT_FALSE(screens.invalidated.empty());
}

TEST_F(ClickTree, ReleaseWithoutPressOrOffTheObjectIsNoClick)
{
    SendAt<Signal::LeftButtonUp>(root, 30, 20);
    EXPECT_TRUE(log.empty());

    SendAt<Signal::LeftButtonDown>(root, 25, 15);
    button.SetPressed(true);
    Signal::LeftButtonUp away(150, 80);
    button.SendToSelf(&away);
    EXPECT_FALSE(button.IsPressed());
    EXPECT_TRUE(log.empty());
}

TEST_F(ClickTree, LosingTheWindowClearsSelectionAndButtonsUnlessKept)
{
    button.SetUnselectable(0);
    EXPECT_TRUE(button.SetSelected(true));
    Signal::WindowActivated lost(true);
    root.Raise(&lost);
    EXPECT_FALSE(button.IsSelected());
    EXPECT_FALSE(button.IsWindowActive());
    EXPECT_FALSE(screens.leftHeld);
    EXPECT_FALSE(screens.rightHeld);

    button.SetKeepSelectionOnDeactivation(true);
    Signal::WindowActivated gained(false);
    root.Raise(&gained);
    EXPECT_TRUE(button.IsWindowActive());
    button.SetSelected(true);
    Signal::WindowActivated lostAgain(true);
    root.Raise(&lostAgain);
    EXPECT_TRUE(button.IsSelected());
}

TEST_F(RootTree, SelectPicksTheObjectsUnderItAndDeselectsTheRest)
{
    Probe a("A", log, 0, 0, 50, 50), b("B", log, 100, 0, 50, 50);
    root.AddChild(&a, false);
    root.AddChild(&b, false);
    a.SetUnselectable(0);
    b.SetUnselectable(0);
    a.AddSlot<Signal::ObjectSelected>(&Probe::Slot, &a);
    a.AddSlot<Signal::ObjectDeselected>(&Probe::Slot, &a);
    a.AddSlot<Signal::ObjectVisibilityChange>(&Probe::Slot, &a);

    a.Select();
    EXPECT_TRUE(a.IsSelected());
    b.Select();
    EXPECT_TRUE(b.IsSelected());
    EXPECT_FALSE(a.IsSelected());
    EXPECT_EQ((Log{"A:ObjectSelected:A", "A:ObjectDeselected:A"}), log);

    log.clear();
    EXPECT_FALSE(a.Deselect()) << "not selected: nothing sent";
    EXPECT_TRUE(a.SetSelected(false));
    EXPECT_TRUE(log.empty());

    a.SetVisible(true);
    a.SetVisible(true);
    EXPECT_EQ(2u, log.size()) << "visibility is announced every time";
}

TEST(TabList, WithoutAScreenManagerTheFirstEntryTakesTheSelectionWithoutThrowing)
{
    // A skin loaded on its own: nothing to repaint, nothing to throw.
    Log log;
    Probe root("Root", log, 0, 0, 100, 100), cell("Cell", log, 10, 10, 20, 20), other("Other", log, 40, 10, 20, 20);
    for (Probe* child : {&cell, &other}) {
        root.AddChild(child, false);
        EXPECT_NO_THROW(root.AddTabObject(child, child == &cell ? 0 : 1, 0));
    }
    EXPECT_TRUE(cell.IsSelected());
    EXPECT_FALSE(other.IsSelected());
}

namespace {

// A three-by-two grid of selectable cells in tab coordinates (column, row).
struct TabGrid : RootTree {
    TabGrid()
    {
        for (int index = 0; index < 6; ++index) {
            Probe& cell = cells[index];
            cell.SetPosition(index % 3 * 40, index / 3 * 40);
            cell.SetSize(30, 30);
            cell.SetUnselectable(0);
            root.AddChild(&cell, false);
            root.AddTabObject(&cell, index % 3, index / 3);
        }
    }
    Probe* Selected()
    {
        for (Probe& cell : cells) {
            if (cell.IsSelected())
                return &cell;
        }
        return nullptr;
    }
    void Move(int direction, Vabo::GuiObject* chosen = nullptr)
    {
        Signal::SelectNextObject next(direction);
        next.chosen = chosen;
        root.SendToSelf(&next);
    }

    Probe cells[6] = {{"00", log}, {"10", log}, {"20", log}, {"01", log}, {"11", log}, {"21", log}};
};

} // namespace

TEST_F(TabGrid, TheFirstVisibleEntryIsSelectedAndTheKeysMoveTheSelection)
{
    EXPECT_EQ(&cells[0], Selected());
    Move(1);
    EXPECT_EQ(&cells[1], Selected());
    Move(3);
    EXPECT_EQ(&cells[4], Selected());
    Move(0);
    EXPECT_EQ(&cells[3], Selected());
    Move(0);
    EXPECT_EQ(&cells[3], Selected()) << "the left edge stays put";
    Move(2);
    EXPECT_EQ(&cells[0], Selected());
    Move(1, &cells[5]);
    EXPECT_EQ(&cells[0], Selected()) << "a handled signal is left alone";

    EXPECT_EQ(nullptr, root.FindTabObjectAt(7, 0));
    EXPECT_EQ(&cells[5], root.FindTabObjectAt(2, 1));
    cells[1].SetVisible(false);
    Move(1);
    EXPECT_EQ(&cells[0], Selected()) << "(1,0) is hidden; its row still matches itself first";
}

TEST_F(TabGrid, ADestroyedCellLeavesTheTabList)
{
    {
        Probe extra("Extra", log, 0, 80, 10, 10);
        extra.SetUnselectable(0);
        root.AddChild(&extra, false);
        root.AddTabObject(&extra, 0, 2);
    }
    Move(3);
    Move(3);
    EXPECT_EQ(&cells[3], Selected());
    EXPECT_EQ(6u, root.GetTabList().size());
}

TEST_F(RootTree, OneKeyMovesTheSelectionOnceEvenThroughNestedTabLists)
{
    Probe inner("Inner", log, 0, 0, 100, 50), other("Other", log, 120, 0, 50, 50);
    Probe a("A", log, 0, 0, 40, 40), b("B", log, 50, 0, 40, 40);
    root.AddChild(&inner, false);
    root.AddChild(&other, false);
    inner.AddChild(&a, false);
    inner.AddChild(&b, false);
    root.AddTabObject(&inner, 0, 0);
    root.AddTabObject(&other, 1, 0);
    inner.AddTabObject(&a, 0, 0);
    inner.AddTabObject(&b, 1, 0);
    ASSERT_TRUE(a.IsSelected());

    Signal::SelectNextObject right(1);
    root.Raise(&right);

    EXPECT_TRUE(b.IsSelected());
    EXPECT_FALSE(a.IsSelected());
    EXPECT_FALSE(other.IsSelected()) << "the outer list leaves a used key alone";
    EXPECT_EQ(&b, right.chosen);
}

namespace {

// A row as the screens have one: a row of three buttons that is not
// selectable itself (tab place 0), a display that takes no selection (1)
// and two buttons (2, 3), all in the root's tab list.
struct TabRow : RootTree {
    TabRow()
    {
        row.SetUnselectable(1);
        display.SetUnselectable(1);
        root.AddChild(&row, false);
        for (int i = 0; i < 3; ++i) {
            row.AddChild(&buttons[i], false);
            row.AddTabObject(&buttons[i], i, 0);
        }
        Probe* places[] = {&row, &display, &last, &after};
        for (int i = 0; i < 4; ++i) {
            if (i > 0)
                root.AddChild(places[i], false);
            root.AddTabObject(places[i], i, 0);
        }
    }
    // The object the key chose, after it went to the selected chain as a key does.
    Vabo::GuiObject* Key(int direction)
    {
        Signal::SelectNextObject next(direction);
        root.Raise(&next);
        return next.chosen;
    }

    Probe row{"Row", log, 0, 0, 200, 20};
    Probe buttons[3] = {{"B0", log, 0, 0, 20, 20}, {"B1", log, 30, 0, 20, 20}, {"B2", log, 60, 0, 20, 20}};
    Probe display{"Display", log, 0, 30, 50, 20};
    Probe last{"Last", log, 90, 30, 20, 20};
    Probe after{"After", log, 120, 30, 20, 20};
};

} // namespace

TEST_F(TabRow, TabWalksIntoAndOutOfARowAndPassesOverWhatTakesNoSelection)
{
    ASSERT_TRUE(buttons[0].IsSelected()) << "the first button of the row takes the selection";
    struct Step {
        int direction;
        Vabo::GuiObject* chosen;
    };
    // Right goes through the row, out of it and over the display; left comes back and enters the row at its last button. At the
    // ends of the root's list nothing takes the key.
    const Step steps[] = {{1, &buttons[1]}, {1, &buttons[2]}, {1, &last},       {1, &after},
                          {1, nullptr},     {0, &last},       {0, &buttons[2]}, {0, &buttons[1]},
                          {0, &buttons[0]}, {0, nullptr}};
    const auto name = [](Vabo::GuiObject* object) { return object ? object->GetName() : std::string("none"); };
    for (const Step& step : steps) {
        EXPECT_EQ(name(step.chosen), name(Key(step.direction))) << "direction " << step.direction;
        EXPECT_TRUE(!step.chosen || step.chosen->IsSelected()) << name(step.chosen);
    }
    EXPECT_TRUE(buttons[0].IsSelected()) << "the edge keeps the selection where it was";
}

TEST_F(TabRow, EachListIsEnteredAtItsFirstStopForwardsAndItsLastBackwards)
{
    struct Entry {
        Vabo::GuiObject* list;
        int direction;
        Vabo::GuiObject* stop;
    };
    const Entry entries[] = {{&root, 1, &buttons[0]}, {&root, 3, &buttons[0]}, {&root, 0, &after},
                             {&root, 2, &after},      {&row, 0, &buttons[2]},  {&display, 1, &display}};
    for (const Entry& entry : entries)
        EXPECT_EQ(entry.stop, entry.list->EntryStop(entry.direction))
            << entry.list->GetName() << " " << entry.direction;
    EXPECT_FALSE(display.CanTakeSelection());
    last.SetVisible(false);
    EXPECT_FALSE(last.CanTakeSelection());
    EXPECT_TRUE(row.CanTakeSelection()) << "through its buttons";
}
