// The object tree: geometry in the window frame, adding and removing children, and
// what destruction leaves behind.
#include <gtest/gtest.h>
#include <memory>

#include "Probe.h"
#include "framework/core/GuiObject.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/ScreenManagerNotReady.h"
#include "support/FakeScreenManager.h"

using Vabo::GuiObject;
using Vabo::Rect;

namespace {

std::unique_ptr<GuiObject> MakeObject(int x, int y, int width, int height)
{
    auto object = std::make_unique<GuiObject>(0, 0);
    object->SetPosition(x, y);
    object->SetSize(width, height);
    return object;
}

} // namespace

TEST(GuiObjectTree, WindowCoordinatesAddUpTheParentsButStopAtATopLevelObject)
{
    auto window = MakeObject(300, 200, 100, 80);
    window->SetTopLevel(true);
    auto panel = MakeObject(10, 20, 50, 50);
    auto button = MakeObject(5, 6, 10, 10);
    window->AddChild(panel.get(), false);
    panel->AddChild(button.get(), false);

    EXPECT_EQ(0, window->GetWindowX());
    EXPECT_EQ(99, window->GetRight());
    EXPECT_EQ(79, window->GetBottom());
    EXPECT_EQ(15, button->GetWindowX());
    EXPECT_EQ(26, button->GetWindowY());
    EXPECT_EQ((Rect{15, 26, 10, 10}), button->GetRectInTopLevel());
    EXPECT_TRUE(window->HitTest(0, 0));
    EXPECT_FALSE(window->HitTest(100, 0));

    // Half-open: the first pixel past the right edge is outside.
    EXPECT_TRUE(button->HitTest(15, 26));
    EXPECT_TRUE(button->HitTest(24, 35));
    EXPECT_FALSE(button->HitTest(25, 30));
    EXPECT_FALSE(button->HitTest(20, 36));

    Vabo::Point point{20, 30};
    button->WindowToLocal(point);
    EXPECT_EQ(5, point.x);
    EXPECT_EQ(4, point.y);
}

TEST(GuiObjectTree, ContentAndSubtreeExtents)
{
    auto parent = MakeObject(100, 100, 10, 10);
    EXPECT_EQ(0, parent->GetContentWidth());
    auto a = MakeObject(20, 5, 30, 10);
    auto b = MakeObject(40, 0, 10, 50);
    auto grandChild = MakeObject(0, 0, 90, 5);
    parent->AddChild(a.get(), false);
    parent->AddChild(b.get(), false);
    b->AddChild(grandChild.get(), false);

    // Each edge is taken in its own parent's frame: the grandchild reaches 90.
    EXPECT_EQ(110, parent->GetSubtreeMaxRight());
    EXPECT_EQ(110, parent->GetSubtreeMaxBottom());
    EXPECT_EQ(110 - 20, parent->GetContentWidth());
    EXPECT_EQ(110 - 0, parent->GetContentHeight());
    EXPECT_EQ(30, parent->GetMaxChildWidth());
    EXPECT_EQ(50, parent->GetMaxChildHeight());
}

TEST(GuiObjectTree, FixedSizeRefusesSetSizeButNotForceSize)
{
    GuiObject fixed(0, 1);
    fixed.SetSizedFromContent(true);
    EXPECT_FALSE(fixed.SetSize(10, 10));
    EXPECT_EQ(0, fixed.GetWidth());
    EXPECT_TRUE(fixed.IsSizedFromContent());
    fixed.ForceSize(10, 12);
    EXPECT_EQ(12, fixed.GetHeight());

    GuiObject free(0, 0);
    free.SetSizedFromContent(true);
    EXPECT_TRUE(free.SetSize(3, 4));
    EXPECT_FALSE(free.IsSizedFromContent());
}

TEST(GuiObjectTree, RemoveChildTakesEveryOccurrenceAndClearsTheParent)
{
    auto parent = MakeObject(0, 0, 10, 10);
    auto child = MakeObject(0, 0, 1, 1);
    auto other = MakeObject(0, 0, 1, 1);
    parent->AddChild(child.get(), false);
    parent->AddChild(other.get(), false);
    parent->AddChild(child.get(), false);

    EXPECT_TRUE(parent->RemoveChild(child.get(), false));
    EXPECT_EQ(std::vector<GuiObject*>{other.get()}, parent->GetChildren());
    EXPECT_EQ(nullptr, child->GetParent());
    EXPECT_FALSE(parent->RemoveChild(child.get(), false));

    parent->ClearChildren();
    EXPECT_TRUE(parent->GetChildren().empty());
    EXPECT_EQ(nullptr, other->GetParent());
}

TEST(GuiObjectTree, AddingToOrSettingAnotherParentLeavesTheFirstAndADeadParentIsCleared)
{
    auto child = MakeObject(0, 0, 1, 1);
    auto first = MakeObject(0, 0, 10, 10);
    {
        auto second = MakeObject(0, 0, 10, 10);
        auto owner = MakeObject(0, 0, 10, 10);
        first->AddChild(child.get(), false);
        second->AddChild(child.get(), false);
        EXPECT_TRUE(first->GetChildren().empty());
        EXPECT_EQ(second.get(), child->GetParent());
        child->SetParent(owner.get());
        EXPECT_TRUE(second->GetChildren().empty());
        EXPECT_EQ(owner.get(), child->GetParent());
    }
    EXPECT_EQ(nullptr, child->GetParent());
}

TEST(GuiObjectTree, DestroyingAnObjectMidTreeDetachesItBothWays)
{
    auto root = MakeObject(0, 0, 100, 100);
    auto middle = MakeObject(10, 10, 50, 50);
    auto leaf = MakeObject(1, 1, 5, 5);
    root->AddChild(middle.get(), false);
    middle->AddChild(leaf.get(), false);

    middle.reset();

    EXPECT_TRUE(root->GetChildren().empty());
    EXPECT_EQ(nullptr, leaf->GetParent());
    EXPECT_EQ(1, leaf->GetWindowX());
    EXPECT_TRUE(leaf->IsVisibleInTree());
}

TEST(GuiObjectTree, ATopLevelChildIsAnnouncedInsteadOfAppendedAndDetachedWithItsParent)
{
    auto parent = MakeObject(0, 0, 100, 100);
    auto window = MakeObject(0, 0, 10, 10);
    window->SetTopLevel(true);
    std::vector<std::string> log;
    ObjectsTest::Probe listener("Listener", log);
    window->AddSlot<Vabo::Signal::ObjectReady>(&ObjectsTest::Probe::Slot, &listener);

    EXPECT_TRUE(parent->AddChild(window.get(), true));
    EXPECT_TRUE(parent->GetChildren().empty());
    EXPECT_EQ(parent.get(), window->GetParent());
    EXPECT_EQ(1u, log.size()) << "announced as ready";

    parent.reset();
    EXPECT_EQ(nullptr, window->GetParent());
}

TEST(GuiObjectTree, TheScreenManagerIsFoundAtTheTopAndForgottenWhenItDies)
{
    auto window = MakeObject(0, 0, 100, 100);
    window->SetTopLevel(true);
    auto root = MakeObject(0, 0, 100, 100);
    auto child = MakeObject(10, 20, 5, 6);
    root->AddChild(child.get(), false);
    EXPECT_THROW(child->Invalidate(), Vabo::ScreenManagerNotReady);
    EXPECT_THROW(child->GetRootObject(), Vabo::ScreenManagerNotReady);
    {
        FakeScreenManager screens;
        root->SetScreenManager(&screens);
        child->Invalidate();
        ASSERT_EQ(1u, screens.invalidated.size());
        EXPECT_EQ((Rect{10, 20, 5, 6}), screens.invalidated[0]);

        // The root object is the top-level top, else the screen manager's base root.
        EXPECT_EQ(nullptr, child->GetRootObject());
        screens.baseRoot = window.get();
        EXPECT_EQ(window.get(), child->GetRootObject());
        EXPECT_EQ(window.get(), window->GetRootObject());
    }
    EXPECT_THROW(child->Invalidate(), Vabo::ScreenManagerNotReady);
}
