// Tooltips: built once from the application's tooltip document, shown above the
// deepest object under the pointer that has one, in window coordinates.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include "Probe.h"
#include "SkinTree.h"
#include "framework/core/DocMap.h"
#include "framework/core/InputSignals.h"
#include "framework/core/ObjectSignals.h"
#include "framework/drawing/Font.h"
#include "support/DocMapFolders.h"
#include "support/FakeScreenManager.h"

using namespace ObjectsTest;
namespace Signal = Vabo::Signal;

namespace {

struct ToolTips : ::testing::Test {
    ToolTips()
    {
        root.SetScreenManager(&screens);
        root.AddChild(&panel, false);
        panel.AddChild(&button, false);
        panel.SetToolTipText("Panel hint");
        button.SetToolTipText("Button hint");
        Signal::WindowActivated active(false);
        root.Raise(&active);
    }

    DocMapFolders folders{ObjectsData(""), DllDocMapInstance().GetLibraryFolder()};
    std::vector<std::string> log;
    FakeScreenManager screens;
    Probe root{"Root", log, 0, 0, 200, 100};
    Probe panel{"Panel", log, 100, 40, 80, 50};
    Probe button{"Button", log, 10, 20, 30, 10};
};

} // namespace

TEST_F(ToolTips, TheDeepestObjectUnderThePointerShowsItsTipAboveItself)
{
    SendAt<Signal::ShowToolTip>(root, 115, 65);

    Vabo::GuiObject* tip = button.GetToolTipWindow();
    ASSERT_NE(nullptr, tip);
    EXPECT_EQ(nullptr, panel.GetToolTipWindow()) << "the button claimed the signal";
    EXPECT_TRUE(tip->IsVisible());
    EXPECT_EQ("Button hint", std::string(tip->GetXmlElement()->Attribute("Text")));
    // The pointer's x and, in the same window frame, 2 pixels above the button.
    EXPECT_EQ(115, tip->GetX());
    EXPECT_EQ(60 - 12 - 2, tip->GetY());
    EXPECT_EQ(1, screens.focusReturned);

    button.ShowToolTip(false, nullptr);
    EXPECT_FALSE(tip->IsVisible());
    SendAt<Signal::ShowToolTip>(root, 115, 65);
    EXPECT_EQ(tip, button.GetToolTipWindow()) << "built once";
}

TEST_F(ToolTips, NoTipWithoutTextOrWhileTheWindowIsInactive)
{
    button.SetToolTipText("");
    SendAt<Signal::ShowToolTip>(root, 115, 65);
    EXPECT_EQ(nullptr, button.GetToolTipWindow());
    EXPECT_NE(nullptr, panel.GetToolTipWindow()) << "the panel's tip shows instead";

    Signal::WindowActivated inactive(true);
    root.Raise(&inactive);
    Vabo::Point point{115, 65};
    EXPECT_FALSE(panel.ShowToolTip(true, &point));
}

TEST_F(ToolTips, ATipBuiltAgainForANewWindowSizeLeavesNoDocumentBehind)
{
    int width = 800;
    GdiplusGfxLayer::SetMainWindowSizeSource([&width](int& w, int& h) {
        w = width;
        h = 500;
        return true;
    });
    Vabo::Point point{115, 65};
    ASSERT_TRUE(button.ShowToolTip(true, &point));
    const std::size_t held = DllDocMapInstance().GetDocuments().size();
    for (width = 801; width < 811; ++width) {
        ASSERT_TRUE(button.ShowToolTip(true, &point)) << width;
        EXPECT_EQ(held, DllDocMapInstance().GetDocuments().size()) << width;
    }
    GdiplusGfxLayer::SetMainWindowSizeSource(nullptr);
}
