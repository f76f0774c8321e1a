// Skins written to break the loader: deep nesting, self-building bases. Each
// ends in a skin error that names the file, never in a crash.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

#include "SkinTree.h"
#include "TestTypes.h"
#include "framework/core/DocMap.h"
#include "platform/Log.h"
#include "support/DocMapFolders.h"

using namespace ObjectsTest;
namespace fs = std::filesystem;

namespace {

// Panels nested depth deep, written to a scratch file removed afterwards.
class NestedPanels {
public:
    explicit NestedPanels(int depth)
        : path_(fs::temp_directory_path() / ("pellora-nested-" + std::to_string(::getpid()) + ".xml"))
    {
        std::ofstream out(path_);
        for (int i = 0; i < depth; ++i)
            out << "<Test::Panel Name=\"P" << i << "\">";
        for (int i = 0; i < depth; ++i)
            out << "</Test::Panel>";
    }
    ~NestedPanels() { fs::remove(path_); }
    std::shared_ptr<Vabo::GuiObject> Build() const
    {
        XMLLoadSave loader;
        TiXmlElement* root = loader.LoadXML(path_.string());
        return root ? DllGlobalObjectFactoryInstance().Create(root) : nullptr;
    }
    std::string Path() const { return path_.string(); }

private:
    fs::path path_;
};

} // namespace

TEST(HostileSkin, NestingBeyondTheBoundsIsASkinErrorNotAStackOverflow)
{
    DocMapFolders folders(ObjectsData(""), DllDocMapInstance().GetLibraryFolder());
    const std::size_t documents = DllDocMapInstance().GetDocuments().size();
    {
        // 2000 nested layouts overflowed the stack while they were built.
        NestedPanels deep(2000);
        Platform::LogCapture log;
        EXPECT_EQ(nullptr, deep.Build());
        EXPECT_TRUE(log.Contains(deep.Path() + ": elements nested deeper than 256 levels"));
    }
    {
        NestedPanels deep(100);
        Platform::LogCapture log;
        EXPECT_THROW(deep.Build(), XMLLoadSave::XMLLoadSaveException);
        EXPECT_TRUE(log.Contains("objects nested deeper than 64 levels at Test::Panel in " + deep.Path()));
        EXPECT_TRUE(NestedPanels(60).Build());
    }
    {
        // A base that builds itself again nests without end.
        Platform::LogCapture log;
        EXPECT_THROW(BuildSkin("BuildsItself.xml"), XMLLoadSave::XMLLoadSaveException);
        EXPECT_TRUE(log.Contains("objects nested deeper than 64 levels"));
    }
    // Only the three skins loaded as such stay; the bases the failed builds
    // loaded went with them.
    EXPECT_EQ(documents + 3, DllDocMapInstance().GetDocuments().size());
}
