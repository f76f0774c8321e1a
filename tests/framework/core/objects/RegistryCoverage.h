#pragma once
// Checks that everything registered by static initialisers can be created by its
// name: every type, every named slot (on an object of its class) and every signal
// type. It walks the registries, so a test program calling it covers whatever the
// modules linked into that program register.
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <tinyxml.h>

#include "framework/core/DocMap.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/XMLLoadSave.h"

namespace ObjectsTest {

// The registered type whose objects carry a slot: the slot name without its member
// name. The message box registers its slots under a shorter class name.
inline std::string SlotClass(const std::string& slotName)
{
    std::string type = slotName.substr(0, slotName.rfind("::"));
    return type == "MessageBox" ? "MessageBoxA" : type;
}

// Types that cannot be built from a bare element (required attributes or
// children without a default definition) are given a sample element: the
// type's element as XML text, from the caller.
using Samples = std::map<std::string, std::string>;

// A framework type whose objects cannot exist without children (a button
// without faces, a slider without steps) keeps a sample of them for every
// program that walks the registries, in tests/data/registry, in a
// file named after the type with "::" written as "." ("Vabo.ImageButton.xml");
// its root element's children are given to the object made by name.
inline void AddSampleChildren(const std::string& type, TiXmlElement* element)
{
    std::string fileName = type;
    for (std::string::size_type at = fileName.find("::"); at != std::string::npos; at = fileName.find("::", at))
        fileName.replace(at, 2, ".");
    TiXmlDocument sample;
    if (!sample.LoadFile(std::string(PELLORA_TEST_DATA) + "/registry/" + fileName + ".xml"))
        return;
    for (TiXmlElement* child = sample.RootElement()->FirstChildElement(); child; child = child->NextSiblingElement())
        element->InsertEndChild(*child);
}

inline std::shared_ptr<Vabo::GuiObject> CreateByName(const std::string& type, XMLLoadSave& loader,
                                                     TiXmlDocument& document, const Samples& samples = {})
{
    auto sample = samples.find(type);
    if (sample != samples.end()) {
        TiXmlDocument parsed;
        parsed.Parse(sample->second.c_str());
        auto* element = static_cast<TiXmlElement*>(document.InsertEndChild(*parsed.RootElement()));
        return DllGlobalObjectFactoryInstance().Create(loader.ResolveBaseXML(element));
    }
    auto* element = new TiXmlElement(type);
    element->SetAttribute("Name", "Registered");
    AddSampleChildren(type, element);
    if (!DllDocMapInstance().GetDefaultBaseXML(type).empty())
        element->SetAttribute("BaseXML", "default");
    document.LinkEndChild(element);
    return DllGlobalObjectFactoryInstance().Create(loader.ResolveBaseXML(element));
}

// The framework's default definitions are read from the repository's library folder
// for the time of the check.
inline void ExpectEveryRegistrationCreatable(const Samples& samples = {})
{
    struct LibraryFolder {
        LibraryFolder()
            : saved(DllDocMapInstance().GetLibraryFolder())
        {
            DllDocMapInstance().SetLibraryFolder(std::string(PELLORA_SOURCE_DIR) + "/lib/VABO/XML");
        }
        ~LibraryFolder() { DllDocMapInstance().SetLibraryFolder(saved); }
        std::string saved;
    } libraryFolder;
    auto& factory = DllGlobalObjectFactoryInstance();
    XMLLoadSave loader;
    TiXmlDocument document("registry-test.xml");

    std::map<std::string, std::shared_ptr<Vabo::GuiObject>> objects;
    for (const std::string& type : factory.GetTypeNames()) {
        auto object = CreateByName(type, loader, document, samples);
        EXPECT_TRUE(object) << type;
        objects[type] = object;
    }

    Vabo::GuiObject plain(0, 0);
    for (const std::string& slot : factory.GetSlotNames()) {
        std::string type = SlotClass(slot);
        Vabo::GuiObject* target = type == "Vabo::GuiObject" ? &plain : objects[type].get();
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
}

} // namespace ObjectsTest
