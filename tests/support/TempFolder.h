// A fresh folder under /tmp for one test, removed with everything in it at the
// end; optionally made $XDG_CACHE_HOME meanwhile, so the picture cache lands there.
#pragma once

#include <dirent.h>

#include <cstdlib>
#include <string>

class TempFolder {
public:
    explicit TempFolder(bool asCacheHome = false)
    {
        char pattern[] = "/tmp/pellora-host.XXXXXX";
        path_ = mkdtemp(pattern);
        if (!asCacheHome)
            return;
        cacheHome_ = true;
        if (const char* old = std::getenv("XDG_CACHE_HOME"))
            old_ = old;
        setenv("XDG_CACHE_HOME", path_.c_str(), 1);
    }
    ~TempFolder()
    {
        if (cacheHome_ && old_.empty())
            unsetenv("XDG_CACHE_HOME");
        else if (cacheHome_)
            setenv("XDG_CACHE_HOME", old_.c_str(), 1);
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
    std::string old_;
    bool cacheHome_ = false;
};
