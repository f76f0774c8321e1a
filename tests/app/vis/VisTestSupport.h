#pragma once
// Shared pieces of the visualisation tests: the real skin documents read
// through the XML core, sources the tests set by hand, a selection store,
// and drawing into a fresh picture.
#include "app/vis/ValueSource.h"
#include "app/vis/VisSelectionStore.h"

#include "framework/core/XMLLoadSave.h"
#include "framework/drawing/Image.h"
#include "framework/drawing/Painter.h"
#include "support/DocMapFolders.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace VisTest {

// The application folder is the repository, so the skin's picture names and
// the types' default definitions resolve as in the program.
class SkinFixture : public ::testing::Test {
protected:
    SkinFixture()
        : folders_(PELLORA_SOURCE_DIR, PELLORA_SOURCE_DIR "/lib/VABO/XML")
    {
    }

    // The root element of a skin document of the visualisations.
    TiXmlElement* Skin(const std::string& name) { return Load(std::string("XML/Main/Vis/") + name); }
    // The first element of the case `name` in the tests' own skin document.
    TiXmlElement* Case(const std::string& name)
    {
        TiXmlElement* root = Load(PELLORA_TEST_DATA "/app/VisCases.xml");
        for (TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement())
            if (e->Attribute("Case") && name == e->Attribute("Case"))
                return e->FirstChildElement();
        ADD_FAILURE() << "no case " << name;
        return nullptr;
    }
    TiXmlElement* Load(const std::string& file)
    {
        TiXmlElement* root = loader_.LoadXMLOrThrow(file);
        EXPECT_NE(nullptr, root) << file;
        return root;
    }
    TiXmlElement* Child(TiXmlElement* element, const std::string& tag) { return loader_.GetChild(element, tag); }

    DocMapFolders folders_;
    XMLLoadSave loader_;
};

// A number the test sets and the display reads.
struct Value {
    float value = 0.0f;
    ScalarSource Source()
    {
        return [this] { return value; };
    }
};

// A block the test fills and the display reads.
struct Block {
    std::vector<float> samples;
    BlockSource Source()
    {
        return [this]() -> std::vector<float>& { return samples; };
    }
};

// Holds the stored choices as texts, as the settings file does: a text that
// is no number reads as the default.
class TextStore : public VisSelectionStore {
public:
    TextStore() { VisSelectionStore::Install(this); }
    ~TextStore() override { VisSelectionStore::Install(nullptr); }
    int Get(const std::string& key, int defaultValue) override
    {
        const auto found = texts.find(key);
        if (found == texts.end())
            return defaultValue;
        try {
            std::size_t used = 0;
            const int value = std::stoi(found->second, &used);
            return used == found->second.size() ? value : defaultValue;
        } catch (const std::exception&) {
            return defaultValue;
        }
    }
    void Set(const std::string& key, int value) override { texts[key] = std::to_string(value); }
    std::map<std::string, std::string> texts;
};

struct Canvas {
    Canvas(int width, int height)
        : image(width, height)
        , painter(image)
    {
    }
    GdiplusGfxLayer::Image image;
    GdiplusGfxLayer::Painter painter;
};

// Pixels of the picture that are not fully transparent, in the rectangle.
inline int InkedPixels(const GdiplusGfxLayer::Image& image, const Vabo::Rect& rect)
{
    int count = 0;
    for (int y = rect.y; y < rect.y + rect.height; ++y)
        for (int x = rect.x; x < rect.x + rect.width; ++x)
            count += image.GetPixel(x, y).GetAlpha() > 0;
    return count;
}

} // namespace VisTest
