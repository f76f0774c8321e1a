// Everything registered by static initialisers can be created by its name: every
// type, every named slot (on an object of its class) and every signal type. The test
// walks the registries, so it covers whatever the linked modules register.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include "framework/core/DocMap.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/XMLLoadSave.h"

using Vabo::GuiObject;

namespace {

// The registered type whose objects carry a slot: the slot name without its member
// name. The message box registers its slots under a shorter class name.
std::string SlotClass(const std::string& slotName)
{
    std::string type = slotName.substr(0, slotName.rfind("::"));
    return type == "MessageBox" ? "MessageBoxA" : type;
}

std::shared_ptr<GuiObject> CreateByName(const std::string& type, XMLLoadSave& loader, TiXmlDocument& document)
{
    auto* element = new TiXmlElement(type);
    element->SetAttribute("Name", "Registered");
    if (!DllDocMapInstance().GetDefaultBaseXML(type).empty())
        element->SetAttribute("BaseXML", "default");
    document.LinkEndChild(element);
    return DllGlobalObjectFactoryInstance().Create(loader.ResolveBaseXML(element));
}

} // namespace

TEST(Registry, EveryRegisteredTypeSlotAndSignalCanBeCreatedByName)
{
    DllDocMapInstance().SetLibraryFolder(std::string(PELLORA_SOURCE_DIR) + "/lib/VABO/XML");
    auto& factory = DllGlobalObjectFactoryInstance();
    XMLLoadSave loader;
    TiXmlDocument document("registry-test.xml");

    std::map<std::string, std::shared_ptr<GuiObject>> objects;
    for (const std::string& type : factory.GetTypeNames()) {
        auto object = CreateByName(type, loader, document);
        EXPECT_TRUE(object) << type;
        objects[type] = object;
    }

    GuiObject plain(0, 0);
    for (const std::string& slot : factory.GetSlotNames()) {
        std::string type = SlotClass(slot);
        GuiObject* target = type == "Vabo::GuiObject" ? &plain : objects[type].get();
        ASSERT_NE(nullptr, target) << slot << " belongs to no registered type";
        int signal = factory.GetSlotFactory(slot)->GetSignalTypeId();
        EXPECT_TRUE(factory.CreateSlot(slot, target, signal)) << slot;
    }

    for (const std::string& name : factory.GetSignalNames()) {
        auto signal = factory.CreateSignal(name);
        ASSERT_TRUE(signal) << name;
        EXPECT_EQ(factory.GetSignalId(name), signal->GetTypeId()) << name;
        EXPECT_NE(0, signal->GetTypeId()) << name;
    }

    EXPECT_GE(factory.GetSignalNames().size(), 10u);
    EXPECT_GE(factory.GetSlotNames().size(), 2u);
}
