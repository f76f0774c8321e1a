#include "support/TempFolder.h"

#include <dirent.h>

#include <cstdlib>

TempFolder::TempFolder(const char* homeVariable)
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

TempFolder::~TempFolder()
{
    if (!variable_.empty() && old_.empty())
        unsetenv(variable_.c_str());
    else if (!variable_.empty())
        setenv(variable_.c_str(), old_.c_str(), 1);
    std::system(("rm -rf '" + path_ + "'").c_str());
}

int TempFolder::FilesIn(const std::string& below) const
{
    int count = 0;
    if (DIR* dir = opendir((path_ + "/" + below).c_str())) {
        while (dirent* entry = readdir(dir))
            count += entry->d_name[0] != '.';
        closedir(dir);
    }
    return count;
}
