// A fresh folder under /tmp for one test, removed with everything in it at the
// end; optionally the value of a home variable meanwhile (XDG_CACHE_HOME for
// the picture cache, XDG_CONFIG_HOME for the settings), restored afterwards.
#pragma once

#include <dirent.h>

#include <cstdlib>
#include <string>

class TempFolder {
public:
    explicit TempFolder(const char* homeVariable = nullptr)
    {
        char pattern[] = "/tmp/pellora-host.XXXXXX";
        path_ = mkdtemp(pattern);
        if (!homeVariable)
            return;
        variable_ = homeVariable;
        if (const char* old = std::getenv(homeVariable))
            old_ = old;
        setenv(homeVariable, path_.c_str(), 1);
    }
    ~TempFolder()
    {
        if (!variable_.empty() && old_.empty())
            unsetenv(variable_.c_str());
        else if (!variable_.empty())
            setenv(variable_.c_str(), old_.c_str(), 1);
        std::system(("rm -rf '" + path_ + "'").c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }

    // How many entries the folder below it holds (none when it is missing).
    int FilesIn(const std::string& below) const
    {
        int count = 0;
        if (DIR* dir = opendir((path_ + "/" + below).c_str())) {
            while (dirent* entry = readdir(dir))
                count += entry->d_name[0] != '.';
            closedir(dir);
        }
        return count;
    }

private:
    std::string path_;
    std::string variable_;
    std::string old_;
};
