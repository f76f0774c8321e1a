#pragma once
// Points the process's document map at a test's application and library
// folders for the lifetime of the object, and puts the old ones back after.
#include <string>

#include "framework/core/DocMap.h"

class DocMapFolders {
public:
    DocMapFolders(const std::string& app, const std::string& library)
        : oldApp_(DllDocMapInstance().GetAppFolder())
        , oldLibrary_(DllDocMapInstance().GetLibraryFolder())
    {
        DllDocMapInstance().SetAppFolder(app);
        DllDocMapInstance().SetLibraryFolder(library);
    }
    ~DocMapFolders()
    {
        DllDocMapInstance().SetAppFolder(oldApp_);
        DllDocMapInstance().SetLibraryFolder(oldLibrary_);
    }
    DocMapFolders(const DocMapFolders&) = delete;
    DocMapFolders& operator=(const DocMapFolders&) = delete;

private:
    std::string oldApp_;
    std::string oldLibrary_;
};
