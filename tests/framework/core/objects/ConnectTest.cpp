// A skin document builds a tree of statically registered types; its "Connect"
// elements wire signals to named slots and screens.
#include <algorithm>
#include <gtest/gtest.h>

#include "SkinTree.h"
#include "TestTypes.h"
#include "framework/core/InputSignals.h"
#include "framework/core/ObjectSignals.h"
#include "platform/Log.h"
#include "support/FakeScreenManager.h"

using namespace ObjectsTest;
using Vabo::GuiObject;
namespace Signal = Vabo::Signal;

namespace {

using Calls = std::vector<std::string>;

struct ClickSkin : ::testing::Test {
    ClickSkin() { DllGlobalObjectFactoryInstance().RegisterGlobalObject("GlobalRecorder", &global); }
    // Builds the tree, attaches the fake screen manager and wires the connections.
    std::shared_ptr<GuiObject> Build()
    {
        auto tree = BuildSkin("ClickTree.xml");
        if (!tree)
            return nullptr;
        tree->SetScreenManager(&screens);
        Signal::ConnectXMLSlots connect;
        tree->Raise(&connect);
        return tree;
    }
    static Recorder* Find(GuiObject* tree, const std::string& path) { return Vabo::GetXMLObject<Recorder>(tree, path); }
    static void Click(GuiObject& tree, int x, int y)
    {
        SendAt<Signal::LeftButtonDown>(tree, x, y);
        SendAt<Signal::LeftButtonUp>(tree, x, y);
    }

    FakeScreenManager screens;
    DerivedRecorder global{nullptr};
};

} // namespace

TEST_F(ClickSkin, ConnectElementsWireNamedSlotsThroughPathsScreensAndGlobalObjects)
{
    auto tree = Build();
    ASSERT_TRUE(tree);
    EXPECT_EQ("Test::Panel", tree->GetTypeName());
    Recorder* log = Find(tree.get(), "Log");
    Recorder* play = Find(tree.get(), "Toolbar->Play");
    Recorder* stop = Find(tree.get(), "Toolbar->Stop");
    ASSERT_TRUE(log && play && stop);

    Click(*tree, 16, 16);
    EXPECT_EQ((Calls{"Record:Activate:Play", "Record:MouseClick:Play"}), log->calls);

    // Stop hides Play through a "->" path and activates a screen.
    Click(*tree, 51, 16);
    EXPECT_FALSE(play->IsVisible());
    EXPECT_TRUE(stop->IsVisible());
    // Only exactly "false" keeps the screen off the back stack.
    ASSERT_EQ(1u, screens.activated.size());
    EXPECT_EQ("Tuner", screens.activated[0].first);
    EXPECT_TRUE(screens.activated[0].second);

    // A virtual named slot runs the override of a global object.
    Signal::ObjectReady ready;
    tree->Raise(&ready);
    EXPECT_EQ((Calls{"DerivedVirtual:Signal::ObjectReady:Log"}), global.calls);
}

TEST_F(ClickSkin, ConnectingTwiceConnectsOnceButASecondObjectFromTheSameElementConnectsToo)
{
    TiXmlElement* root = LoadSkin("ClickTree.xml");
    ASSERT_NE(nullptr, root);
    auto& factory = DllGlobalObjectFactoryInstance();
    auto first = factory.Create(root);
    auto second = factory.Create(root);
    ASSERT_TRUE(first && second);
    for (auto* tree : {first.get(), second.get()}) {
        tree->SetScreenManager(&screens);
        Signal::ConnectXMLSlots connect;
        tree->Raise(&connect);
        Signal::ConnectXMLSlots again;
        tree->Raise(&again);
    }

    Click(*first, 16, 16);
    Click(*second, 16, 16);
    EXPECT_EQ(2u, Find(first.get(), "Log")->calls.size());
    EXPECT_EQ(2u, Find(second.get(), "Log")->calls.size());

    // The first tree goes; the second keeps working and nothing points into the first.
    Recorder* secondLog = Find(second.get(), "Log");
    first.reset();
    Click(*second, 16, 16);
    EXPECT_EQ(4u, secondLog->calls.size());
}

TEST_F(ClickSkin, SlotsOfADestroyedSlotObjectAreDisconnected)
{
    auto tree = Build();
    ASSERT_TRUE(tree);
    Recorder* play = Find(tree.get(), "Toolbar->Play");
    Recorder* log = Find(tree.get(), "Log");
    ASSERT_TRUE(play && log);
    EXPECT_TRUE(play->HasConnections(Signal::TypeIdOf<Signal::Activate>()));

    // Re-creating "Log" under its owner releases the old object, whose slots sit in
    // Play's connection map.
    GuiObject* replacement =
        DllGlobalObjectFactoryInstance().CreateAndRegister("Test::Recorder", "Log", tree.get(), log->GetXmlElement());
    ASSERT_NE(nullptr, replacement);
    EXPECT_EQ(replacement, Find(tree.get(), "Log"));
    const auto& children = tree->GetChildren();
    EXPECT_EQ(0, std::count(children.begin(), children.end(), static_cast<GuiObject*>(log)))
        << "the released object left its parent";

    Click(*tree, 16, 16);
    EXPECT_TRUE(static_cast<Recorder*>(replacement)->calls.empty());
}

TEST(BrokenSkin, EachKindOfBrokenConnectOrTypeThrowsAndSaysWhy)
{
    auto tree = BuildSkin("Failures.xml");
    ASSERT_TRUE(tree);
    const auto connect = [&tree](const std::string& name) {
        Signal::ConnectXMLSlots connect;
        Vabo::GetXMLObject<GuiObject>(tree.get(), name)->SendToSelf(&connect);
    };
    const std::pair<const char*, const char*> cases[] = {
        {"NoSlot", "No Slot attribute specified"},
        {"MissingSlotObject", "Could not find slot object"},
        {"WrongSignalType", "Failed to find or connect slot Test::Recorder::ActivateOnlySlot"},
        {"UnknownSignal", "Failed to find signal Vabo::Signal::Nothing"},
        {"FirstGoodThenBad", "Failed to find or connect slot Test::Recorder::NoSuchSlot"},
    };
    for (const auto& [name, message] : cases) {
        SCOPED_TRACE(name);
        Platform::LogCapture log;
        EXPECT_THROW(connect(name), XMLLoadSave::XMLLoadSaveException);
        EXPECT_TRUE(log.Contains(message));
    }

    // Elements before a failure stay connected and are not connected again.
    EXPECT_THROW(connect("FirstGoodThenBad"), XMLLoadSave::XMLLoadSaveException);
    auto* recorder = Vabo::GetXMLObject<Recorder>(tree.get(), "FirstGoodThenBad");
    auto* target = Vabo::GetXMLObject<GuiObject>(tree.get(), "Target");
    Signal::Activate activate;
    target->InvokeSlots(&activate, target, nullptr);
    EXPECT_EQ((Calls{"Record:Activate:Target"}), recorder->calls);

    // An empty object name does not stand for the unnamed object holding it.
    {
        Platform::LogCapture log;
        Signal::ConnectXMLSlots connect;
        EXPECT_THROW(tree->GetChildren().back()->SendToSelf(&connect), XMLLoadSave::XMLLoadSaveException);
        EXPECT_TRUE(log.Contains("Could not find signal object"));
        EXPECT_TRUE(log.Contains("has an empty name"));
    }

    Platform::LogCapture log;
    EXPECT_THROW(BuildSkin("Unregistered.xml"), XMLLoadSave::XMLLoadSaveException);
    EXPECT_TRUE(log.Contains("GlobalObjectFactory: Failed to create object of type Test::NotRegistered filename = "));
    EXPECT_TRUE(log.Contains("Unregistered.xml"));
}
