// A fresh folder under /tmp for one test, removed with everything in it at the
// end; optionally the value of a home variable meanwhile (XDG_CACHE_HOME for
// the picture cache, XDG_CONFIG_HOME for the settings), restored afterwards.
#pragma once

#include <dirent.h>

#include <cstdlib>
#include <string>

class TempFolder {
public:
    explicit TempFolder(const char* homeVariable = nullptr);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }

    // How many entries the folder below it holds (none when it is missing).
    int FilesIn(const std::string& below) const;

private:
    std::string path_;
    std::string variable_;
    std::string old_;
};
