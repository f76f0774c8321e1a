#pragma once
// Points the process's document map at a test's application and library
// folders for the lifetime of the object, and puts the old ones back after.
#include <string>

// Tests that set folders read them back through the map.
#include "framework/core/DocMap.h"

class DocMapFolders {
public:
    DocMapFolders(const std::string& app, const std::string& library);
    ~DocMapFolders();
    DocMapFolders(const DocMapFolders&) = delete;
    DocMapFolders& operator=(const DocMapFolders&) = delete;

private:
    std::string oldApp_;
    std::string oldLibrary_;
};
