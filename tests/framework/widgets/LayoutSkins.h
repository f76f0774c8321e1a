#pragma once
// The fixture of the packed, flow and focus layout tests: skins from
// tests/data/widgets built through the real loader and object factory, and
// drawn by the real painter into a picture.
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/GuiObject.h"
#include "framework/core/XMLLoadSave.h"
#include "framework/drawing/Image.h"
#include "framework/drawing/Painter.h"
#include "support/DocMapFolders.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>

namespace LayoutTest {

class LayoutSkinTest : public ::testing::Test {
protected:
    // The root element of a skin under tests/data/widgets.
    TiXmlElement* Load(const std::string& name) { return loader_.LoadXMLOrThrow(name); }

    // The object the factory builds from the root element of a skin, or
    // from the one child element of the root's child with the tag.
    std::shared_ptr<Vabo::GuiObject> Build(const std::string& name, const std::string& tag = "")
    {
        TiXmlElement* element = Load(name);
        if (!tag.empty()) {
            TiXmlElement* holder = element->FirstChildElement(tag);
            element = holder ? holder->FirstChildElement() : nullptr;
        }
        return element ? DllGlobalObjectFactoryInstance().Create(loader_.ResolveBaseXML(element)) : nullptr;
    }

    template <class T> static T* Find(Vabo::GuiObject* from, const std::string& path)
    {
        return dynamic_cast<T*>(DllGlobalObjectFactoryInstance().FindObject(from, path));
    }

    // What the object draws, children included, into a transparent picture.
    static std::unique_ptr<GdiplusGfxLayer::Image> Drawn(Vabo::GuiObject& object, int width, int height)
    {
        auto picture = std::make_unique<GdiplusGfxLayer::Image>(width, height);
        GdiplusGfxLayer::Painter painter(*picture);
        object.Render(painter);
        return picture;
    }

    DocMapFolders folders_{std::string(PELLORA_TEST_DATA) + "/widgets",
                           std::string(PELLORA_SOURCE_DIR) + "/lib/VABO/XML"};
    XMLLoadSave loader_;
};

} // namespace LayoutTest
