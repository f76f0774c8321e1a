#include "framework/core/DocMap.h"

#include "XmlTestFolders.h"
#include "framework/core/ScreenManagerInterface.h"
#include "platform/Log.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;
using XmlTest::Data;

namespace {

// A screen manager that is never asked for anything.
struct NoScreens : Vabo::ScreenManagerInterface {
    void InvalidateRect(const Vabo::Rect&) override { }
    void SetFocusObject(Vabo::GuiObject*) override { }
    Vabo::GuiObject* GetBaseRoot() const override { return nullptr; }
    void SetLeftButtonHeld(bool) override { }
    void SetRightButtonHeld(bool) override { }
    void ActivateScreen(const std::string&, bool) override { }
    void ReturnKeyboardFocus() override { }
};

// Runs the body with the working directory and VINTREL_LIB as given, and
// restores both afterwards.
class Environment {
public:
    Environment(const std::string& workingDirectory, const char* vintrelLib)
        : oldDirectory_(fs::current_path())
    {
        if (const char* old = std::getenv("VINTREL_LIB"))
            oldLib_ = old, hadLib_ = true;
        fs::current_path(workingDirectory);
        if (vintrelLib)
            setenv("VINTREL_LIB", vintrelLib, 1);
        else
            unsetenv("VINTREL_LIB");
    }
    ~Environment()
    {
        fs::current_path(oldDirectory_);
        if (hadLib_)
            setenv("VINTREL_LIB", oldLib_.c_str(), 1);
        else
            unsetenv("VINTREL_LIB");
    }

private:
    fs::path oldDirectory_;
    std::string oldLib_;
    bool hadLib_ = false;
};

std::string Canonical(const std::string& path)
{
    return fs::weakly_canonical(path).string();
}

} // namespace

TEST(DocMap, LibraryFolderComesFromVintrelLibWhenItHoldsTheFolder)
{
    Environment environment(Data("skins/app"), Data("skins").c_str());
    _DocMap map;
    EXPECT_EQ(Data("skins") + "/lib/VABO/XML", map.GetLibraryFolder());
    EXPECT_EQ(Data("skins/app"), map.GetAppFolder());

    Platform::LogCapture log;
    auto document = map.GetDocument("$VABO/Objects/Panel/Panel.xml", false);
    ASSERT_TRUE(document) << (log.Messages().empty() ? "" : log.Messages().back());
    EXPECT_EQ(Data("skins") + "/lib/VABO/XML//Objects/Panel/Panel.xml", document->ValueStr());
    EXPECT_STREQ("Vabo::Panel", document->RootElement()->Value());
}

TEST(DocMap, LibraryFolderFallsBackToTheFolderBesideTheWorkingDirectory)
{
    for (const char* vintrelLib : {static_cast<const char*>(nullptr), "/nonexistent/pellora"}) {
        Environment environment(Data("skins/app"), vintrelLib);
        _DocMap map;
        EXPECT_EQ(Canonical(Data("skins/lib/VABO/XML")), Canonical(map.GetLibraryFolder()));
        auto document = map.GetDocument("$VABO/Objects/Frame/Frame.xml", false);
        ASSERT_TRUE(document);
        EXPECT_STREQ("Frame", document->RootElement()->Value());
        EXPECT_TRUE(fs::path(map.GetLibraryFolder()).is_absolute());
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
}

TEST(DocMap, EveryCallLoadsAnewAndKeepsTheDocument)
{
    _DocMap map;
    map.SetAppFolder(Data("skins/app"));
    auto first = map.GetDocument("XML/Main/Skin.xml");
    auto second = map.GetDocument("XML/Main/Skin.xml");
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    EXPECT_EQ(2u, map.GetDocuments().size());

    map.RemoveDocument(first.get());
    ASSERT_EQ(1u, map.GetDocuments().size());
    EXPECT_EQ(second, map.GetDocuments().front());
    map.RemoveDocument(first.get());
    EXPECT_EQ(1u, map.GetDocuments().size());
}

TEST(DocMap, UnreadableNamesFailWithTheLoadDiagnosticAndAddNothing)
{
    _DocMap map;
    map.SetAppFolder(Data(""));
    struct Case {
        std::string name;
        bool asIs;
        std::string resolved;
    };
    const Case cases[] = {
        {"xml/Missing.xml", false, map.GetAppFolder() + "/xml/Missing.xml"},
        {"xml/Broken.xml", false, map.GetAppFolder() + "/xml/Broken.xml"},
        // A directory and an empty name used to reach TinyXML and die of bad_alloc.
        {"xml", false, map.GetAppFolder() + "/xml"},
        {Data("xml"), true, Data("xml")},
        {"", true, ""},
    };
    for (const Case& c : cases) {
        Platform::LogCapture log;
        EXPECT_FALSE(map.GetDocument(c.name, c.asIs)) << c.name;
        ASSERT_FALSE(log.Messages().empty()) << c.name;
        EXPECT_EQ("DocMap::GetDocument - failed to load XML file " + c.resolved, log.Messages().front());
        EXPECT_EQ(2u, log.Messages().size()) << "the reason follows the diagnostic";
    }
    EXPECT_TRUE(map.GetDocuments().empty());
}

TEST(DocMap, FirstDefaultDefinitionOfATypeWins)
{
    _DocMap map;
    map.SetDefaultBaseXML("Vabo::Text", "$VABO/Objects/Text/Text.xml");
    map.SetDefaultBaseXML("Vabo::Text", "$VABO/Other.xml");
    EXPECT_EQ("$VABO/Objects/Text/Text.xml", map.GetDefaultBaseXML("Vabo::Text"));
    EXPECT_EQ("", map.GetDefaultBaseXML("Vabo::Unknown"));
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
    auto screens = std::make_unique<NoScreens>();
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
    screens = std::make_unique<NoScreens>();
    XmlDocument::SetScreenManager(top.get(), screens.get());

    // A document that is gone ends the chain instead of dangling.
    top.reset();
    EXPECT_EQ(nullptr, XmlDocument::GetScreenManager(base.get()));
    EXPECT_EQ(window, XmlDocument::GetOwnerWindow(base.get()));
}
