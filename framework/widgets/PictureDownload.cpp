#include "framework/widgets/PictureDownload.h"

#include "platform/CacheFile.h"
#include "platform/Log.h"

#include <unistd.h>

namespace Vabo {

bool DownloadPicture(const std::string& address, std::string& cacheFile, const Platform::HttpFetchLimits& limits)
{
    std::string error;
    const std::string folder = Platform::CacheFolder(error);
    if (folder.empty()) {
        Platform::Log("Picture download: no cache folder for " + address + ": " + error);
        return false;
    }
    const std::string path = folder + "/" + Platform::CacheFileName(address);
    if (access(path.c_str(), R_OK) == 0) {
        cacheFile = path;
        return true;
    }
    const Platform::HttpFetchResult result = Platform::HttpFetch(address, limits);
    if (!result.ok) {
        Platform::Log("Picture download: cannot fetch " + address + ": " + result.error);
        return false;
    }
    if (!Platform::WriteFileAtomically(path, result.body, error)) {
        Platform::Log("Picture download: cannot keep " + address + ": " + error);
        return false;
    }
    cacheFile = path;
    return true;
}

} // namespace Vabo
