#pragma once
// Builds an object tree from a skin document under tests/data through the real
// loader and the factory, and sends input to it the way the screen manager does.
#include <memory>
#include <string>

#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/XMLLoadSave.h"

namespace ObjectsTest {

inline std::string ObjectsData(const std::string& name)
{
    return std::string(PELLORA_TEST_DATA) + "/framework/core/objects/" + name;
}

inline TiXmlElement* LoadSkin(const std::string& name)
{
    static XMLLoadSave loader;
    return loader.LoadXML(ObjectsData(name));
}

inline std::shared_ptr<Vabo::GuiObject> BuildSkin(const std::string& name)
{
    TiXmlElement* root = LoadSkin(name);
    return root ? DllGlobalObjectFactoryInstance().Create(root) : nullptr;
}

template <class S> void SendAt(Vabo::GuiObject& root, int x, int y)
{
    S signal(x, y);
    root.CollectReceivers(&signal, true);
    root.Deliver(&signal, nullptr);
}

} // namespace ObjectsTest
