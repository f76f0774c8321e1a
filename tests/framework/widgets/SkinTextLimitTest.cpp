// Texts a skin shows are held to a stated length when the skin is loaded: a
// longer one is cut at a whole character and the skin file is named.
#include "LayoutTestSupport.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/SkinLimits.h"
#include "framework/widgets/Text.h"
#include "platform/Log.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <fstream>
#include <string>

TEST(SkinTextLimit, ATextBeyondTheLimitIsCutAtAWholeCharacterAndLogged)
{
    const std::size_t limit = Vabo::kMaxSkinTextBytes;
    const std::string accented = "\xC3\xA9"; // two bytes
    std::string oddAccents = "a";
    while (oddAccents.size() <= limit)
        oddAccents += accented;
    const struct {
        const char* type;
        const char* attribute;
        std::string text;
        std::size_t kept;
        bool logged;
    } cases[] = {
        {"Vabo::Text", "Text", std::string(limit, 'x'), limit, false},
        {"Vabo::Text", "Text", std::string(4 * 1024 * 1024, 'x'), limit, true},
        // The limit falls inside a character: the whole character goes.
        {"Vabo::Text2", "Text", oddAccents, limit - 1, true},
        {"Vabo::Text", "ToolTip", std::string(limit + 1, 'y'), limit, true},
    };
    DocMapFolders folders = LayoutTest::Folders();
    TempFolder folder;
    const std::string file = folder.Path() + "/Long.xml";
    for (const auto& c : cases) {
        std::ofstream(file) << "<" << c.type << " BaseXML=\"default\" " << c.attribute << "=\"" << c.text << "\"/>";
        Platform::LogCapture log;
        XMLLoadSave loader;
        auto object = DllGlobalObjectFactoryInstance().Create(loader.LoadXMLOrThrow(file, nullptr, true));
        auto* text = dynamic_cast<Vabo::Text*>(object.get());
        ASSERT_NE(nullptr, text) << c.type;
        const std::string& kept = std::string(c.attribute) == "Text" ? text->GetText() : text->GetToolTipText();
        EXPECT_EQ(c.kept, kept.size()) << c.type << " " << c.attribute;
        EXPECT_EQ(0, c.text.compare(0, c.kept, kept)) << "the start is kept";
        EXPECT_EQ(c.logged, log.Contains(std::string("attribute ") + c.attribute + " of " + c.type + " in " + file
                                         + " is longer than " + std::to_string(limit) + " bytes; cut there"))
            << c.type << " " << c.attribute;
    }
}
