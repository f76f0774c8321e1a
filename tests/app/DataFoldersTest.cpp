// Where the program looks for its skin and definitions: the tree $VINTREL_LIB
// names, the installed tree beside the executable, or the working folder.
#include "app/DataFolders.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

TEST(DataFolders, AVariableNamingNoFolderIsPassedOverSilently)
{
    TempFolder root;
    namespace fs = std::filesystem;
    // <root>/lib/VABO/XML: a tree the variable may name; <root>/prefix/bin
    // beside <root>/prefix/share/pellora: an installed program.
    const std::string tree = root.Path();
    fs::create_directories(tree + "/lib/VABO/XML");
    fs::create_directories(tree + "/prefix/bin");
    fs::create_directories(tree + "/prefix/share/pellora/XML");
    fs::create_directories(tree + "/bare/bin");
    fs::create_directories(tree + "/empty");
    std::ofstream(tree + "/prefix/share/pellora/XML/Pellora.xml") << "<Pellora/>\n";
    const std::string installed = tree + "/prefix/share/pellora";
    const std::string missing = tree + "/nowhere";
    const std::string empty = tree + "/empty";
    const std::string file = tree + "/prefix/share/pellora/XML/Pellora.xml";

    const struct {
        const char* what;
        const char* variable;
        std::string executableFolder;
        std::string app; // "" for the working folder
    } cases[] = {
        {"a tree of definitions", tree.c_str(), tree + "/prefix/bin", tree},
        {"a missing folder, installed", missing.c_str(), tree + "/prefix/bin", installed},
        {"a missing folder, not installed", missing.c_str(), tree + "/bare/bin", ""},
        {"a folder without definitions, installed", empty.c_str(), tree + "/prefix/bin", installed},
        {"a folder without definitions, not installed", empty.c_str(), tree + "/bare/bin", ""},
        {"a file", file.c_str(), tree + "/bare/bin", ""},
        {"unset, installed", nullptr, tree + "/prefix/bin", installed},
        {"empty, not installed", "", tree + "/bare/bin", ""},
    };
    for (const auto& c : cases) {
        const DataFolders found = DataFolders::Find(c.variable, c.executableFolder);
        EXPECT_EQ(c.app, found.app) << c.what;
        EXPECT_EQ(c.app.empty() ? "" : c.app + "/lib/VABO/XML", found.library) << c.what;
    }
}
