#include "framework/core/DocMap.h"

#include "XmlTestFolders.h"
#include "platform/Log.h"
#include "support/FakeScreenManager.h"

#include <cstdlib>
#include <filesystem>
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
