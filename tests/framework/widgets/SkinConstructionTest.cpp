// Building layout trees from skin documents through the real loader and the
// object factory: objects, declared objects, screens, connections and the
// key-frame animations played on a hand-driven clock.
#include "framework/widgets/GridLayout.h"

#include "LayoutTestSupport.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/InputSignals.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/SkinLimits.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/TickRequest.h"
#include "support/FakeScreenManager.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <fstream>
#include <map>
#include <memory>

using LayoutTest::Probe;
using Vabo::GetXMLObject;
using Vabo::GridLayout;
using Vabo::GuiObject;
using Vabo::Rect;

namespace {

class SkinTest : public ::testing::Test {
protected:
    TiXmlElement* Load(const std::string& name) { return loader_.LoadXMLOrThrow("XML/Main/" + name); }

    // The main skin, built, attached to the fake screen manager and laid out
    // at 202 x 200 pixels.
    GridLayout& BuildMain()
    {
        root_ = DllGlobalObjectFactoryInstance().Create(Load("Skin.xml"));
        auto* layout = dynamic_cast<GridLayout*>(root_.get());
        EXPECT_NE(nullptr, layout);
        layout->SetScreenManager(&screens_);
        layout->SetSize(202, 200);
        layout->UpdateLayout();
        return *layout;
    }

    void Tick(Platform::Milliseconds now)
    {
        clock_.Set(now);
        Vabo::Signal::Timer timer(now);
        root_->Raise(&timer);
    }

    Platform::ManualClock clock_{0};
    DocMapFolders folders_ = LayoutTest::Folders();
    FakeScreenManager screens_;
    XMLLoadSave loader_;
    std::shared_ptr<GuiObject> root_;
};

} // namespace

TEST_F(SkinTest, NestedCreateObjectsBuildAPlacedLayoutTreeThatGetXMLObjectSearches)
{
    GridLayout& main = BuildMain();
    EXPECT_EQ("Vabo::GridLayout", main.GetTypeName());

    auto* background = GetXMLObject<Probe>(&main, "Background");
    auto* panel = GetXMLObject<GridLayout>(&main, "Panel");
    ASSERT_TRUE(background && panel);
    EXPECT_EQ((Rect{0, 0, 202, 200}), background->GetRect());
    EXPECT_EQ((Rect{10, 100, 101, 100}), panel->GetRect());
    EXPECT_EQ(&main, panel->GetParent());

    // Pixels plus fractions of the 101-pixel panel, rounded half up.
    auto* half = GetXMLObject<Probe>(&main, "Panel->Half");
    ASSERT_NE(nullptr, half);
    EXPECT_EQ((Rect{51, 0, 51, 100}), half->GetRect());
    EXPECT_EQ(panel, half->GetParent());

    auto* hidden = GetXMLObject<Probe>(panel, "Hidden");
    ASSERT_NE(nullptr, hidden);
    EXPECT_FALSE(hidden->IsVisible());
    EXPECT_TRUE(hidden->IsSelected());
    EXPECT_EQ(0, hidden->IsUnselectable());

    // Kept out of the layout: plain pixels, no record, so a layout pass
    // leaves it where the skin put it.
    auto* pinned = GetXMLObject<Probe>(panel, "Pinned");
    ASSERT_NE(nullptr, pinned);
    EXPECT_EQ((Rect{3, 4, 30, 40}), pinned->GetRect());
    EXPECT_EQ(panel, pinned->GetParent());
    EXPECT_EQ(0u, panel->GetLayoutRecords().count(pinned));

    // An element with no child builds nothing and is no failure.
    EXPECT_EQ(nullptr, DllGlobalObjectFactoryInstance().FindObject(panel, "Placeholder"));
    EXPECT_EQ(4u, panel->GetChildren().size());

    Platform::LogCapture log;
    EXPECT_NE(nullptr, GetXMLObject<GuiObject>(&main, "Main"));
    EXPECT_TRUE(log.Messages().empty());
    // Names are visible from below the object that made them, not above.
    EXPECT_EQ(nullptr, GetXMLObject<Probe>(&main, "Knob"));
    EXPECT_TRUE(log.Contains("Warning: GetXMLObject: Failed to find object named Knob"));
    EXPECT_EQ(nullptr, GetXMLObject<GridLayout>(&main, "Background"));
    EXPECT_TRUE(log.Contains("Warning: GetXMLObject: Failed to find object named Background"));

    // Running the "CreateObject" elements again re-places instead of duplicating.
    background->SetSize(1, 1);
    const size_t children = main.GetChildren().size();
    EXPECT_TRUE(main.CreateObjects(main.GetXmlElement()));
    EXPECT_EQ(children, main.GetChildren().size());
    EXPECT_EQ(background, GetXMLObject<Probe>(&main, "Background"));
    EXPECT_EQ((Rect{0, 0, 202, 200}), background->GetRect());
}

TEST_F(SkinTest, ANameAnEnclosingLayoutUsesIsStillBuiltForTheInnerOne)
{
    GridLayout& main = BuildMain();
    auto* outerBackground = GetXMLObject<Probe>(&main, "Background");
    auto* knob = GetXMLObject<Probe>(&main, "Panel->Knob");
    ASSERT_TRUE(outerBackground && knob);

    GridLayout inner;
    main.AddObjectAtFractions(&inner, 0, 0, 0.5f, 0.5f);
    const size_t objectsBefore = main.GetChildren().size();
    EXPECT_TRUE(inner.CreateObjects(Load("Nested.xml")));

    auto* innerBackground = GetXMLObject<Probe>(&inner, "Background");
    ASSERT_NE(nullptr, innerBackground);
    EXPECT_NE(outerBackground, innerBackground);
    EXPECT_EQ(&inner, innerBackground->GetParent());
    EXPECT_EQ((Rect{0, 0, 101, 100}), innerBackground->GetRect());

    // A path names an object that exists elsewhere: it is only moved.
    EXPECT_EQ(1u, inner.GetChildren().size());
    EXPECT_EQ((Rect{1, 2, 3, 4}), knob->GetRect());
    EXPECT_EQ(objectsBefore, main.GetChildren().size());
}

TEST_F(SkinTest, AFailingCreateObjectFailsThePassButItsSiblingsAreBuilt)
{
    Platform::LogCapture log;
    GridLayout layout;
    layout.SetSize(100, 50);
    EXPECT_FALSE(layout.CreateObjects(Load("Partial.xml")));
    EXPECT_TRUE(log.Contains("GlobalObjectFactory: Failed to create object of type Test::Nowhere"));

    auto* first = GetXMLObject<Probe>(&layout, "First");
    auto* last = GetXMLObject<Probe>(&layout, "Last");
    ASSERT_TRUE(first && last);
    EXPECT_EQ((Rect{0, 0, 50, 50}), first->GetRect());
    EXPECT_EQ((Rect{50, 0, 50, 50}), last->GetRect());
    EXPECT_EQ(2u, layout.GetChildren().size());
    EXPECT_FALSE(layout.CreateObjects(nullptr));

    // Built from the element, the failure is the layout's construction error.
    TiXmlElement* partial = Load("Partial.xml");
    EXPECT_THROW(GridLayout(partial, true), XMLLoadSave::XMLLoadSaveException);
}

TEST_F(SkinTest, ObjectElementsDeclareWhereCodeBuiltObjectsGoAndScreenElementsRegisterScreens)
{
    GridLayout& main = BuildMain();
    TiXmlElement* definition = main.FindObjectXml("Declared");
    ASSERT_NE(nullptr, definition);
    EXPECT_EQ("Test::Probe", definition->ValueStr());
    EXPECT_EQ(nullptr, main.FindObjectXml("Undeclared"));

    Probe declared;
    EXPECT_TRUE(main.AddDeclaredObject(&declared, "Declared"));
    EXPECT_EQ((Rect{101, 0, 101, 10}), declared.GetRect());
    EXPECT_EQ(&declared, GetXMLObject<Probe>(&main, "Declared"));
    Vabo::LayoutObject record;
    ASSERT_TRUE(main.GetLayoutObject(&declared, record));
    EXPECT_EQ(1u, record.animation.size());

    Probe stranger;
    EXPECT_FALSE(main.AddDeclaredObject(&stranger, "Undeclared"));
    main.RemoveChild(&declared, false);

    EXPECT_TRUE(main.CreateScreens(main.GetXmlElement()));
    using Screen = std::tuple<std::string, bool, std::string, std::string>;
    // Only the exact text "true" asks for destruction on deactivation.
    EXPECT_EQ((std::vector<Screen>{{"Tuner", true, "TunerLayout", "XML/Main/Tuner.xml"},
                                   {"About", false, "AboutWindow", "XML/Main/About.xml"}}),
              screens_.screens);
    EXPECT_FALSE(main.CreateScreens(nullptr));
}

TEST_F(SkinTest, AnimationKeysFireOnceEachAtTheirTimesAndMoveTheirObject)
{
    GridLayout& main = BuildMain();
    auto* panel = GetXMLObject<GridLayout>(&main, "Panel");
    auto* knob = GetXMLObject<Probe>(&main, "Panel->Knob");
    ASSERT_TRUE(panel && knob);
    // Placed by its record, pixels included, until the first key fires.
    EXPECT_EQ((Rect{5, 0, 25, 25}), knob->GetRect());
    EXPECT_EQ(0, knob->pings);
    EXPECT_TRUE(panel->IsAnimating());

    Tick(0);
    EXPECT_EQ(1, knob->pings);
    EXPECT_EQ((Rect{0, 0, 25, 25}), knob->GetRect());
    EXPECT_FLOAT_EQ(0.5f, knob->GetAlpha());
    Platform::TakeRequestedTick();
    Tick(10);
    EXPECT_EQ(500, Platform::TakeRequestedTick()) << "the clock is asked to wake for the next key";
    Tick(499);
    EXPECT_EQ(1, knob->pings);
    EXPECT_EQ((Rect{0, 0, 25, 25}), knob->GetRect());

    Tick(500);
    EXPECT_EQ(2, knob->pings);
    EXPECT_EQ((Rect{50, 0, 25, 25}), knob->GetRect());
    Tick(999);
    EXPECT_TRUE(panel->IsAnimating());

    const size_t invalidations = screens_.invalidated.size();
    Tick(1000);
    EXPECT_EQ(2, knob->pings);
    EXPECT_EQ((Rect{75, 50, 25, 25}), knob->GetRect());
    EXPECT_FLOAT_EQ(1.0f, knob->GetAlpha());
    EXPECT_GT(screens_.invalidated.size(), invalidations);
    EXPECT_FALSE(panel->IsAnimating());

    Platform::TakeRequestedTick();
    Tick(5000);
    EXPECT_FALSE(panel->IsAnimating());
    EXPECT_EQ(2, knob->pings);
    EXPECT_EQ(Platform::kNoTick, Platform::TakeRequestedTick()) << "a finished animation lets the clock sleep";

    // Animation steps leave the record alone: a layout pass puts it back.
    main.SetSize(202, 202);
    main.UpdateLayout();
    EXPECT_EQ((Rect{5, 0, 25, 25}), knob->GetRect());
}

TEST_F(SkinTest, AConnectedScreenActivationReplaysTheAnimation)
{
    GridLayout& main = BuildMain();
    auto* panel = GetXMLObject<GridLayout>(&main, "Panel");
    auto* knob = GetXMLObject<Probe>(&main, "Panel->Knob");
    ASSERT_TRUE(panel && knob);
    Vabo::Signal::ConnectXMLSlots connect;
    main.Raise(&connect);
    Tick(0);
    Tick(1000);
    ASSERT_FALSE(panel->IsAnimating());
    ASSERT_EQ(2, knob->pings);

    clock_.Set(2000);
    Vabo::Signal::ScreenActivation activation(true);
    main.Raise(&activation);
    EXPECT_EQ(3, knob->pings);
    EXPECT_EQ((Rect{0, 0, 25, 25}), knob->GetRect());
    EXPECT_TRUE(panel->IsAnimating());
    Tick(2500);
    EXPECT_EQ(4, knob->pings);
    Tick(3000);
    EXPECT_FALSE(panel->IsAnimating());
}

TEST_F(SkinTest, AnimationKeysReadTheirValuesAndRejectBadTimes)
{
    TiXmlElement* keys = Load("BadKeys.xml");
    GridLayout layout;
    std::vector<TiXmlElement*> animations = layout.XMLLoadSave::GetChildren(keys, "Animation");
    ASSERT_EQ(5u, animations.size());

    Platform::LogCapture log;
    EXPECT_THROW(layout.CreateAnimation(animations[0]), XMLLoadSave::XMLLoadSaveException);
    EXPECT_TRUE(log.Contains("XML Error"));
    EXPECT_TRUE(log.Contains("Attribute = TimeMS"));
    EXPECT_THROW(layout.CreateAnimation(animations[1]), XMLLoadSave::XMLLoadSaveException);
    EXPECT_THROW(layout.CreateAnimation(animations[2]), XMLLoadSave::XMLLoadSaveException);

    log.Clear();
    const Vabo::Animation animation = layout.CreateAnimation(animations[3]);
    EXPECT_TRUE(
        log.Contains("Vabo::XmlObjectHolder::CreateAnimationElement - Failed to create signal Test::Signal::Nowhere"));
    ASSERT_EQ(2u, animation.size());
    EXPECT_EQ(20, animation[0].timeMs);
    EXPECT_FALSE(animation[0].signal);
    EXPECT_TRUE(animation[0].hasX && animation[0].hasY);
    EXPECT_FALSE(animation[0].hasWidth || animation[0].hasHeight || animation[0].hasAlpha);
    EXPECT_FLOAT_EQ(0.25f, animation[0].y);
    EXPECT_EQ(50, animation[1].timeMs);
    EXPECT_TRUE(animation[1].hasAlpha && animation[1].hasWidth && animation[1].hasHeight);
    EXPECT_FLOAT_EQ(3.0f, animation[1].height);
    EXPECT_FALSE(animation[1].fired);
}

TEST_F(SkinTest, AKeyValueThatIsNotAWholeNumberFailsTheLoadOfItsSkin)
{
    struct Case {
        const char* attribute;
        const char* value;
        bool loads;
    };
    const Case cases[] = {
        {"Alpha", "abc", false},   {"Alpha", "", false},       {"XPos", "1.5x", false},  {"YPos", "0.5 ", false},
        {"Width", "nan", false},   {"Height", "inf", false},   {"Height", "1e400", false}, {"XPos", "--1", false},
        {"Alpha", "0.5", true},    {"XPos", "-0.25", true},    {"YPos", "+2", true},     {"Width", "1e3", true},
        {"Height", "3", true},     {"Alpha", "7", true},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        const std::string file = folder.Path() + "/Keys.xml";
        std::ofstream(file) << "<Vabo::GridLayout><CreateObject Name=\"Knob\" XPos=\"0\" YPos=\"0\" Width=\"1\" "
                               "Height=\"1\"><Test::Probe/><Animation><Element TimeMS=\"10\" "
                            << c.attribute << "=\"" << c.value << "\"/></Animation></CreateObject></Vabo::GridLayout>";
        Platform::LogCapture log;
        XMLLoadSave loader;
        TiXmlElement* skin = loader.LoadXMLOrThrow(file, nullptr, true);
        if (c.loads) {
            EXPECT_NO_THROW(DllGlobalObjectFactoryInstance().Create(skin)) << c.attribute << "=" << c.value;
            continue;
        }
        EXPECT_THROW(DllGlobalObjectFactoryInstance().Create(skin), XMLLoadSave::XMLLoadSaveException)
            << c.attribute << "=" << c.value;
        EXPECT_TRUE(log.Contains(std::string("Attribute = ") + c.attribute)) << c.attribute << "=" << c.value;
        EXPECT_TRUE(log.Contains(file)) << c.attribute << "=" << c.value;
    }
}

TEST_F(SkinTest, APlacementLengthHeldToItsRangeIsLoggedWithItsSkinFile)
{
    const struct {
        const char* attribute;
        const char* value;
        const char* logged; // "" when nothing is
    } cases[] = {
        {"XPos", "99999999px", "is outside -1048576px to 1048576px; kept within it"},
        {"YPos", "-5000000px+0.5", "is outside -1048576px to 1048576px; kept within it"},
        {"Width", "5000", "is outside -1024 to 1024; kept within it"},
        {"Height", "1-1e30px", "is outside -1048576px to 1048576px; kept within it"},
        {"XPos", "10px+0.5", ""},
        {"Width", "1-1048576px", ""},
    };
    TempFolder folder;
    const std::string file = folder.Path() + "/Placed.xml";
    for (const auto& c : cases) {
        std::map<std::string, std::string> values{{"XPos", "0"}, {"YPos", "0"}, {"Width", "1"}, {"Height", "1"}};
        values[c.attribute] = c.value;
        std::ofstream skin(file);
        skin << "<Vabo::GridLayout><CreateObject Name=\"Placed\"";
        for (const auto& [name, value] : values)
            skin << " " << name << "=\"" << value << "\"";
        skin << "><Test::Probe/></CreateObject></Vabo::GridLayout>";
        skin.close();
        Platform::LogCapture log;
        XMLLoadSave loader;
        auto layout = DllGlobalObjectFactoryInstance().Create(loader.LoadXMLOrThrow(file, nullptr, true));
        ASSERT_TRUE(layout) << c.value;
        const std::string expected = std::string(c.attribute) + " = \"" + c.value + "\" of CreateObject in " + file;
        if (*c.logged) {
            EXPECT_TRUE(log.Contains(expected + " " + c.logged)) << c.value;
        } else {
            EXPECT_FALSE(log.Contains(c.attribute)) << c.value;
        }
    }
}

TEST_F(SkinTest, HugeTimesAndPlainLengthsAreKeptWithinTheirRangesAtLoad)
{
    // Summed as they were, these key times overflowed an int.
    TiXmlElement* keys = Load("BadKeys.xml");
    GridLayout layout;
    Platform::LogCapture log;
    const Vabo::Animation animation = layout.CreateAnimation(layout.XMLLoadSave::GetChildren(keys, "Animation")[4]);
    ASSERT_EQ(4u, animation.size());
    for (const Vabo::AnimationKey& key : animation)
        EXPECT_EQ(Vabo::kMaxAnimationMs, key.timeMs);
    EXPECT_TRUE(log.Contains("is kept within 0 to 86400000 ms"));

    // A far edge or a window offset formed from these overflowed too.
    TiXmlDocument document("huge.xml");
    document.Parse(R"(<CreateObject XPos="99999999999" YPos="-99999999999" Width="99999999999" Height="5"/>)");
    Probe child;
    ASSERT_TRUE(layout.SetObjectRectFromXML(&child, document.RootElement()));
    EXPECT_EQ((Rect{Vabo::kMaxSkinLength, -Vabo::kMaxSkinLength, Vabo::kMaxSkinLength, 5}), child.GetRect());
    EXPECT_EQ(2 * Vabo::kMaxSkinLength - 1, child.GetRight());
    EXPECT_TRUE(log.Contains("XPos = \"99999999999\" of CreateObject in huge.xml is outside -1048576 to 1048576"));
}

TEST_F(SkinTest, AKeyWithoutAllFourLengthsLeavesTheGeometryAloneAndAKeyMayDestroyAnotherKeysObject)
{
    GridLayout layout;
    layout.SetSize(100, 100);
    layout.SetScreenManager(&screens_);
    Probe child;
    Vabo::Animation animation(1);
    animation[0].hasX = animation[0].hasY = true;
    animation[0].x = animation[0].y = 0.5f;
    animation[0].hasAlpha = true;
    animation[0].alpha = 0.0f;
    layout.AddObjectAtFractions(&child, 0.25f, 0.25f, 0.5f, 0.5f, nullptr, &animation);
    EXPECT_TRUE(layout.StartAnimation());
    EXPECT_EQ((Rect{25, 25, 50, 50}), child.GetRect());
    EXPECT_FLOAT_EQ(0.0f, child.GetAlpha());
    EXPECT_FALSE(layout.IsAnimating());
    layout.RemoveChild(&child, false);

    auto first = std::make_unique<Probe>();
    auto second = std::make_unique<Probe>();
    // Each one's key signal destroys the other: whichever fires first, the
    // other must be neither sent its signal nor repainted.
    struct Reaper : GuiObject {
        explicit Reaper(std::unique_ptr<Probe>& target)
            : GuiObject(0, 0)
            , target_(target)
        {
        }
        void Reap(Vabo::Signal::Base*, GuiObject*) { target_.reset(); }
        std::unique_ptr<Probe>& target_;
    } reapFirst(first), reapSecond(second);
    first->AddSlot<LayoutTest::Ping>(&Reaper::Reap, &reapSecond);
    second->AddSlot<LayoutTest::Ping>(&Reaper::Reap, &reapFirst);
    Vabo::Animation pings(1);
    for (Probe* probe : {first.get(), second.get()}) {
        pings[0].signal = std::make_shared<LayoutTest::Ping>();
        layout.AddObjectAtFractions(probe, 0, 0, 1, 1, nullptr, &pings);
    }
    layout.StartAnimation();
    EXPECT_NE(first == nullptr, second == nullptr) << "exactly one key fired";
    EXPECT_EQ(1u, layout.GetChildren().size());
}

TEST(GuiBuilder, AddObjectAppendsACreateObjectForTheNameEntered)
{
    DocMapFolders folders = LayoutTest::Folders(std::string(PELLORA_TEST_DATA) + "/framework/widgets/lib/VABO/XML");
    XMLLoadSave loader;
    std::shared_ptr<GuiObject> made =
        DllGlobalObjectFactoryInstance().Create(loader.LoadXMLOrThrow("XML/Main/Builder.xml"));
    auto* builder = dynamic_cast<GridLayout*>(made.get());
    ASSERT_NE(nullptr, builder);
    FakeScreenManager screens;
    builder->SetScreenManager(&screens);
    builder->SetSize(100, 100);

    std::string dialogRoot;
    bool accept = false;
    Vabo::XmlObjectHolder::SetAddObjectDialogRunner([&](GuiObject*, TiXmlElement* dialog, std::string& name) {
        dialogRoot = dialog->ValueStr();
        name = "Added";
        return accept;
    });
    TiXmlDocument palette;
    palette.Parse("<Test::Probe Name=\"Template\"/>");
    TiXmlElement* type = palette.RootElement();

    builder->AddObject(type);
    EXPECT_EQ("Vabo::TitleWindow", dialogRoot);
    EXPECT_EQ(1u, builder->XMLLoadSave::GetChildren(builder->GetXmlElement(), "CreateObject").size());
    EXPECT_STREQ("Template", type->Attribute("Name"));

    accept = true;
    builder->AddObject(type);
    Vabo::XmlObjectHolder::SetAddObjectDialogRunner(nullptr);
    const auto creates = builder->XMLLoadSave::GetChildren(builder->GetXmlElement(), "CreateObject");
    ASSERT_EQ(2u, creates.size());
    TiXmlElement* added = creates[1];
    EXPECT_STREQ("Added", added->Attribute("Name"));
    ASSERT_NE(nullptr, added->FirstChildElement());
    EXPECT_STREQ("Template", added->FirstChildElement()->Attribute("Name"));
    EXPECT_STREQ("Added", type->Attribute("Name"));

    // The command only extends the skin; the next pass builds the object where
    // the new element's lengths put it.
    EXPECT_EQ(nullptr, DllGlobalObjectFactoryInstance().FindObject(builder, "Added"));
    EXPECT_TRUE(builder->CreateObjects(builder->GetXmlElement()));
    auto* probe = dynamic_cast<Probe*>(DllGlobalObjectFactoryInstance().FindObject(builder, "Added"));
    ASSERT_NE(nullptr, probe);
    EXPECT_EQ((Rect{10, 10, 80, 40}), probe->GetRect());
}

TEST(GuiBuilder, AddObjectWithoutADialogDocumentOnlyLogs)
{
    // A library folder that holds no dialog document.
    DocMapFolders folders = LayoutTest::Folders(std::string(PELLORA_TEST_DATA) + "/framework/widgets/no-library");
    Platform::LogCapture log;
    TiXmlDocument document;
    document.Parse("<Vabo::GridLayout Name=\"Lonely\"/>");
    GridLayout layout(document.RootElement(), true);
    TiXmlElement type("Test::Probe");
    layout.AddObject(&type);
    EXPECT_TRUE(log.Contains("AddObjectDialog.xml"));
    EXPECT_EQ(nullptr, document.RootElement()->FirstChildElement());
}
