#include "support/DocMapFolders.h"

#include "framework/core/DocMap.h"

DocMapFolders::DocMapFolders(const std::string& app, const std::string& library)
    : oldApp_(DllDocMapInstance().GetAppFolder())
    , oldLibrary_(DllDocMapInstance().GetLibraryFolder())
{
    DllDocMapInstance().SetAppFolder(app);
    DllDocMapInstance().SetLibraryFolder(library);
}

DocMapFolders::~DocMapFolders()
{
    DllDocMapInstance().SetAppFolder(oldApp_);
    DllDocMapInstance().SetLibraryFolder(oldLibrary_);
}
