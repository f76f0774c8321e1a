#pragma once
// Shared pieces of the visualisation tests: the real skin documents read
// through the XML core, sources the tests set by hand, a settings file of their own,
// and drawing into a fresh picture.
#include "app/vis/ValueSource.h"

#include "framework/core/XMLLoadSave.h"
#include "framework/drawing/Image.h"
#include "framework/drawing/Painter.h"
#include "support/DocMapFolders.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstdlib>
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

// The settings file in a fresh folder for the time of a test.
class SettingsFolder {
public:
    SettingsFolder()
    {
        if (const char* old = std::getenv("XDG_CONFIG_HOME"))
            old_ = old;
        setenv("XDG_CONFIG_HOME", folder_.Path().c_str(), 1);
    }
    ~SettingsFolder()
    {
        if (old_.empty())
            unsetenv("XDG_CONFIG_HOME");
        else
            setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
    }

private:
    TempFolder folder_;
    std::string old_;
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
