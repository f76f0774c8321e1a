#include "app/DataFolders.h"

#include "framework/core/DocMap.h"
#include "platform/ExecutableFolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

DataFolders DataFolders::Find(const char* vintrelLib, const std::string& executableFolder)
{
    DataFolders found;
    std::error_code error;
    // A variable naming a folder without the framework's definitions under it
    // is no error: the folders are looked for as if it were not set.
    if (vintrelLib && *vintrelLib && std::filesystem::exists(std::string(vintrelLib) + "/lib/VABO/XML", error)) {
        found.app = vintrelLib;
    } else if (!executableFolder.empty()) {
        const auto installed = std::filesystem::path(executableFolder).parent_path() / "share" / "pellora";
        if (std::filesystem::exists(installed / "XML" / "Pellora.xml", error))
            found.app = installed.lexically_normal().string();
    }
    if (!found.app.empty())
        found.library = found.app + "/lib/VABO/XML";
    return found;
}

void DataFolders::Use()
{
    const DataFolders found = Find(std::getenv("VINTREL_LIB"), Platform::ExecutableFolder());
    if (found.app.empty())
        return;
    DllDocMapInstance().SetAppFolder(found.app);
    DllDocMapInstance().SetLibraryFolder(found.library);
}
