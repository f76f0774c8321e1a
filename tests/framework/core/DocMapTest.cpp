#include "framework/core/DocMap.h"

#include "XmlTestFolders.h"
#include "platform/Log.h"
#include "support/FakeScreenManager.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using XmlTest::Data;

namespace {

// Sets the working directory and VINTREL_LIB for its lifetime.
class Environment {
public:
    Environment(const std::string& workingDirectory, const char* vintrelLib)
        : oldDirectory_(fs::current_path())
    {
        if (const char* old = std::getenv("VINTREL_LIB"))
            oldLib_ = old, hadLib_ = true;
        fs::current_path(workingDirectory);
        Set(vintrelLib);
    }
    ~Environment()
    {
        fs::current_path(oldDirectory_);
        Set(hadLib_ ? oldLib_.c_str() : nullptr);
    }

private:
    static void Set(const char* value)
    {
        if (value)
            setenv("VINTREL_LIB", value, 1);
        else
            unsetenv("VINTREL_LIB");
    }
    fs::path oldDirectory_;
    std::string oldLib_;
    bool hadLib_ = false;
};

} // namespace

TEST(DocMap, TheLibraryFolderComesFromVintrelLibElseFromBesideTheWorkingDirectory)
{
    const std::string skins = Data("skins");
    const std::string fallback = fs::weakly_canonical(Data("skins/lib/VABO/XML")).string();
    const struct {
        const char* vintrelLib;
        std::string library;
    } cases[] = {
        {skins.c_str(), skins + "/lib/VABO/XML"},
        {nullptr, fallback},
        {"/nonexistent/pellora", fallback},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.vintrelLib ? c.vintrelLib : "(unset)");
        Environment environment(Data("skins/app"), c.vintrelLib);
        _DocMap map;
        EXPECT_EQ(c.library, fs::weakly_canonical(map.GetLibraryFolder()).string());
        EXPECT_TRUE(fs::path(map.GetLibraryFolder()).is_absolute());
        EXPECT_EQ(Data("skins/app"), map.GetAppFolder());

        Platform::LogCapture log;
        auto document = map.GetDocument("$VABO/Objects/Panel/Panel.xml", false);
        ASSERT_TRUE(document) << (log.Messages().empty() ? "" : log.Messages().back());
        EXPECT_EQ(map.GetLibraryFolder() + "//Objects/Panel/Panel.xml", document->ValueStr());
        EXPECT_STREQ("Vabo::Panel", document->RootElement()->Value());
        EXPECT_NE(document, map.GetDocument("$VABO/Objects/Panel/Panel.xml", false)) << "every call loads anew";
        EXPECT_EQ(2u, map.GetDocuments().size());
    }
}

TEST(DocMap, NamesResolveIntoTheLibraryTheAppFolderOrStayAbsolute)
{
    _DocMap map;
    map.SetAppFolder("/srv/app");
    map.SetLibraryFolder("/srv/lib/VABO/XML");
    EXPECT_EQ("/srv/app/XML/Main/ToolTip.xml", map.ResolveName("XML/Main/ToolTip.xml"));
    EXPECT_EQ("/srv/lib/VABO/XML//Objects/Text/Text.xml", map.ResolveName("$VABO/Objects/Text/Text.xml"));
    EXPECT_EQ("/srv/lib/VABO/XML//Objects/Text/Text.xml", map.ResolveName("junk/$VABO/Objects/Text/Text.xml"));
    EXPECT_EQ("/etc/skins/a.xml", map.ResolveName("/etc/skins/a.xml"));

    // The first default definition of a type wins.
    map.SetDefaultBaseXML("Vabo::Text", "$VABO/Objects/Text/Text.xml");
    map.SetDefaultBaseXML("Vabo::Text", "$VABO/Other.xml");
    EXPECT_EQ("$VABO/Objects/Text/Text.xml", map.GetDefaultBaseXML("Vabo::Text"));
    EXPECT_EQ("", map.GetDefaultBaseXML("Vabo::Unknown"));
}

TEST(DocMap, UnreadableNamesFailWithTheLoadDiagnosticAndAddNothing)
{
    _DocMap map;
    map.SetAppFolder(Data(""));
    const std::string app = map.GetAppFolder();
    const struct {
        std::string name;
        bool asIs;
        std::string resolved;
    } cases[] = {
        {"xml/Missing.xml", false, app + "/xml/Missing.xml"},
        {"xml/Broken.xml", false, app + "/xml/Broken.xml"},
        // A directory and an empty name used to reach TinyXML and die of bad_alloc.
        {"xml", false, app + "/xml"},
        {Data("xml"), true, Data("xml")},
        {"", true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Platform::LogCapture log;
        EXPECT_FALSE(map.GetDocument(c.name, c.asIs));
        ASSERT_EQ(2u, log.Messages().size()) << "the reason follows the diagnostic";
        EXPECT_EQ("DocMap::GetDocument - failed to load XML file " + c.resolved, log.Messages().front());
    }
    EXPECT_TRUE(map.GetDocuments().empty());
}

namespace {

// A file of the given bytes in a folder of its own, removed afterwards.
class ScratchFile {
public:
    explicit ScratchFile(const std::string& bytes)
        : path_(fs::temp_directory_path() / ("pellora-docmap-" + std::to_string(::getpid()) + ".xml"))
    {
        std::ofstream(path_, std::ios::binary) << bytes;
    }
    ~ScratchFile() { fs::remove(path_); }
    std::string Path() const { return path_.string(); }

private:
    fs::path path_;
};

std::string Nested(int depth)
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<a>";
    for (int i = 0; i < depth; ++i)
        text += "</a>";
    return text;
}

} // namespace

TEST(DocMap, FilesAreCheckedBeforeTheParserSeesThem)
{
    _DocMap map;
    const struct {
        std::string bytes;
        std::string reason; // empty: the file loads
    } cases[] = {
        // The parser read past the end of a file that stops inside a sequence.
        {"<a b=\"\xE0", "not valid UTF-8 at offset 6"},
        {"<a b=\"caf\xE9\"/>", "not valid UTF-8 at offset 9"},
        {"<a b=\"\xC0\xAF\"/>", "not valid UTF-8 at offset 6"},
        {std::string("<a/>\0<b/>", 9), "a zero byte at offset 4"},
        {"<a b=\"\xE2\x82\xAC \xF0\x9D\x84\x9E\"/>", ""},
        // 40000 levels crashed the parser; the bound holds before it runs.
        {Nested(40000), "elements nested deeper than 256 levels"},
        {Nested(257), "elements nested deeper than 256 levels"},
        {Nested(256), ""},
        // Comments, CDATA and quoted values do not nest.
        {"<r><!--" + Nested(300) + "--><![CDATA[" + Nested(300) + "]]><e v=\"" + Nested(300) + "\"/></r>", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.substr(0, 40));
        ScratchFile file(c.bytes);
        Platform::LogCapture log;
        auto document = map.GetDocument(file.Path(), true);
        EXPECT_EQ(c.reason.empty(), document != nullptr);
        if (!c.reason.empty()) {
            EXPECT_TRUE(log.Contains(file.Path() + ": " + c.reason));
        }
    }

    // Line ends arrive as the parser's own "\n".
    ScratchFile crlf("<a b=\"x\r\ny\rz\"/>\r\n");
    auto document = map.GetDocument(crlf.Path(), true);
    ASSERT_TRUE(document);
    EXPECT_STREQ("x\ny\nz", document->RootElement()->Attribute("b"));

    // Every cut of a file with multi-byte text either loads or is refused.
    const std::string whole = "<r n=\"\xC3\xA4\xE2\x82\xAC\xF0\x9D\x84\x9E\">Gr\xC3\xBC\xC3\x9F</r>";
    for (std::size_t length = 0; length <= whole.size(); ++length) {
        ScratchFile cut(whole.substr(0, length));
        Platform::LogCapture log;
        if (!map.GetDocument(cut.Path(), true)) {
            EXPECT_TRUE(log.Contains(cut.Path() + ": ")) << length;
        }
    }
}

TEST(XmlDocument, ContextPointersFollowTheIncludeChain)
{
    auto top = std::make_shared<XmlDocument>("top.xml");
    auto middle = std::make_shared<XmlDocument>("middle.xml");
    auto base = std::make_shared<XmlDocument>("base.xml");
    for (auto* document : {top.get(), middle.get(), base.get()})
        document->LinkEndChild(new TiXmlElement("Root"));
    XmlDocument::SetIncludingDocument(middle->RootElement(), top.get());
    XmlDocument::SetIncludingDocument(base->RootElement(), middle.get());

    EXPECT_EQ(nullptr, XmlDocument::GetScreenManager(base.get()));
    auto screens = std::make_unique<FakeScreenManager>();
    Vabo::ScreenManagerInterface* manager = screens.get();
    auto* window = reinterpret_cast<Vabo::Window*>(0x2000);
    XmlDocument::SetScreenManager(top.get(), manager);
    XmlDocument::SetOwnerWindow(middle.get(), window);
    EXPECT_EQ(manager, XmlDocument::GetScreenManager(base.get()));
    EXPECT_EQ(window, XmlDocument::GetOwnerWindow(base.get()));
    EXPECT_EQ(nullptr, XmlDocument::GetOwnerWindow(top.get()));

    // A screen manager that is gone is not handed out any more.
    screens.reset();
    EXPECT_EQ(nullptr, XmlDocument::GetScreenManager(base.get()));
    screens = std::make_unique<FakeScreenManager>();
    XmlDocument::SetScreenManager(top.get(), screens.get());

    // A document that is gone ends the chain instead of dangling.
    top.reset();
    EXPECT_EQ(nullptr, XmlDocument::GetScreenManager(base.get()));
    EXPECT_EQ(window, XmlDocument::GetOwnerWindow(base.get()));
}
