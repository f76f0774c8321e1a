// The object factory: registrations, objects owned per container, name scopes,
// paths of names, slots by name, and what it forgets when objects die.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include "Probe.h"
#include "TestTypes.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/ObjectSignals.h"
#include "platform/Log.h"

using namespace ObjectsTest;
using Vabo::GlobalObjectFactory_;
using Vabo::GuiObject;
namespace Signal = Vabo::Signal;

namespace {

using Log = std::vector<std::string>;

// A factory of its own per test, with the test types registered.
struct Factory : ::testing::Test {
    Factory()
    {
        factory.Register("Test::Recorder", [](TiXmlElement* e) { return new Recorder(e); });
    }
    TiXmlElement* Element(const std::string& type, const char* name = nullptr)
    {
        auto* element = new TiXmlElement(type);
        if (name)
            element->SetAttribute("Name", name);
        document.LinkEndChild(element);
        return element;
    }

    TiXmlDocument document{"factory-test.xml"};
    GlobalObjectFactory_ factory;
    Log log;
};

} // namespace

TEST_F(Factory, TheFirstRegistrationOfANameStaysAndUnregisteredTypesGiveNothing)
{
    factory.Register("Test::Recorder", [](TiXmlElement*) -> GuiObject* { return nullptr; });
    auto object = factory.Create(Element("Test::Recorder"));
    EXPECT_TRUE(dynamic_cast<Recorder*>(object.get()));

    EXPECT_FALSE(factory.Create(Element("Test::Nothing")));
    Probe owner("Owner", log);
    EXPECT_EQ(nullptr, factory.CreateAndRegister("Test::Nothing", "X", &owner, Element("Test::Nothing")));
}

TEST_F(Factory, ReplacingANamedObjectDetachesAndReleasesTheOldOne)
{
    Probe owner("Owner", log);
    TiXmlElement* element = Element("Test::Recorder");
    GuiObject* first = factory.CreateAndRegister("Test::Recorder", "Item", &owner, element);
    ASSERT_NE(nullptr, first);
    owner.AddChild(first, false);
    std::weak_ptr<void> firstAlive = first->Watch();

    GuiObject* second = factory.CreateAndRegister("Test::Recorder", "Item", &owner, element);
    EXPECT_TRUE(firstAlive.expired());
    EXPECT_TRUE(owner.GetChildren().empty());
    EXPECT_EQ(second, factory.FindObject(&owner, "Item"));
    EXPECT_EQ(nullptr, element->FirstChildElement("Alias")) << "the same name again adds no alias";
}

TEST_F(Factory, AnOldNameBecomesAnAliasVisibleOnlyFromTheObject)
{
    Probe owner("Owner", log);
    GuiObject* object = factory.CreateAndRegister("Test::Recorder", "New", &owner, Element("Test::Recorder", "Old"));
    ASSERT_NE(nullptr, object);
    Probe inner("Inner", log);
    object->AddChild(&inner, false);

    EXPECT_EQ(object, factory.FindObject(&owner, "New"));
    EXPECT_EQ(nullptr, factory.FindObject(&owner, "Old"));
    EXPECT_EQ(object, factory.FindObject(&inner, "Old"));
}

TEST_F(Factory, NamesAreFoundFromBelowTheirScopeOnlyAndEveryStepOfAPathIsResolved)
{
    Probe root("Root", log), left("Left", log), right("Right", log), deep("Deep", log);
    root.AddChild(&left, false);
    root.AddChild(&right, false);
    left.AddChild(&deep, false);
    factory.AddAlias("Shared", &right, &root);
    factory.AddAlias("Private", &deep, &left);
    EXPECT_EQ(&right, factory.FindObject(&deep, "Shared"));
    EXPECT_EQ(nullptr, factory.FindObject(&right, "Private"));
    EXPECT_EQ(nullptr, factory.FindObject(&root, "Private"));
    EXPECT_EQ(&left, factory.FindObject(&deep, "Left")) << "an ancestor's own name";
    EXPECT_EQ(nullptr, factory.FindObject(nullptr, "Left"));

    Probe c("C", log), decoy("C", log);
    deep.AddChild(&c, false);
    factory.AddAlias("A", &left, &root);
    factory.AddAlias("B", &deep, &left);
    factory.AddAlias("C", &c, &deep);
    factory.AddAlias("C", &decoy, &root);
    EXPECT_EQ(&c, factory.FindObject(&root, "A->B->C"));
    EXPECT_EQ(&decoy, factory.FindObject(&root, "C"));
    EXPECT_EQ(nullptr, factory.FindObject(&root, "A->Nothing->C"));
    EXPECT_EQ(nullptr, factory.FindObject(&root, "Nothing->C"));
}

TEST_F(Factory, APathWithAnEmptyNameFindsNothingAndIsLogged)
{
    // Every object here is unnamed, as windows and screens often are: an empty
    // name must not stand for the nearest of them.
    Probe root("", log), inner("", log);
    root.AddChild(&inner, false);
    factory.AddAlias("A", &inner, &root);
    for (const char* path : {"", "A->", "->A", "->->", "A->->A"}) {
        SCOPED_TRACE(path);
        Platform::LogCapture capture;
        EXPECT_EQ(nullptr, factory.FindObject(&inner, path));
        EXPECT_TRUE(capture.Contains("has an empty name"));
    }
    EXPECT_EQ(&inner, factory.FindObject(&inner, "A->A"));
}

TEST_F(Factory, ADeadObjectIsForgottenEverywhere)
{
    Probe owner("Owner", log);
    {
        Probe doomed("Doomed", log);
        factory.RegisterGlobalObject("Global", &doomed);
        factory.AddAlias("Alias", &doomed, &owner);
        EXPECT_EQ(&doomed, factory.GetGlobalObject("Global"));
    }
    EXPECT_EQ(nullptr, factory.GetGlobalObject("Global"));
    EXPECT_EQ(nullptr, factory.FindObject(&owner, "Alias"));
}

TEST_F(Factory, OwnedObjectsDieWithTheirOwnerAndStayAfterClear)
{
    std::weak_ptr<void> ownedAlive;
    {
        Probe owner("Owner", log);
        GuiObject* owned = factory.CreateAndRegister("Test::Recorder", "Item", &owner, Element("Test::Recorder"));
        ownedAlive = owned->Watch();
    }
    EXPECT_TRUE(ownedAlive.expired());

    Probe owner("Owner", log);
    GuiObject* owned = factory.CreateAndRegister("Test::Recorder", "Item", &owner, Element("Test::Recorder"));
    ownedAlive = owned->Watch();
    factory.Clear();
    EXPECT_TRUE(ownedAlive.expired());
    GuiObject* later = factory.CreateAndRegister("Test::Recorder", "Later", &owner, Element("Test::Recorder"));
    std::weak_ptr<void> laterAlive = later->Watch();
    factory.ForgetObject(&owner);
    EXPECT_FALSE(laterAlive.expired()) << "after Clear, forgetting leaves the maps alone";
}

TEST_F(Factory, SlotsForAnySignalFitEveryTypeOthersOnlyTheirOwn)
{
    factory.RegisterSlot(
        "Any", std::make_shared<GlobalObjectFactory_::SlotFactory<Recorder, Signal::Base>>(&Recorder::RecordSlot));
    factory.RegisterSlot("ActivateOnly",
                         std::make_shared<GlobalObjectFactory_::SlotFactory<Recorder, Signal::Activate, Signal::Base>>(
                             &Recorder::ActivateOnlySlot));
    Recorder recorder(nullptr);
    Probe notARecorder("Probe", log);
    int activate = Signal::TypeIdOf<Signal::Activate>();
    int hide = Signal::TypeIdOf<Signal::Hide>();

    EXPECT_TRUE(factory.CreateSlot("Any", &recorder, hide));
    EXPECT_TRUE(factory.CreateSlot("ActivateOnly", &recorder, activate));
    EXPECT_FALSE(factory.CreateSlot("ActivateOnly", &recorder, hide));
    EXPECT_FALSE(factory.CreateSlot("Missing", &recorder, activate));
    EXPECT_FALSE(factory.CreateSlot("Any", &notARecorder, hide)) << "a slot never binds to another class";
}
