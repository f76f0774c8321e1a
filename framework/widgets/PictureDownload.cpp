#include "framework/widgets/PictureDownload.h"

#include "platform/CacheFile.h"
#include "platform/Log.h"
#include "platform/PictureDecoder.h"

#include <unistd.h>

namespace Vabo {

std::string CachedPictureFile(const std::string& address)
{
    std::string error;
    const std::string folder = Platform::CacheFolder(error);
    if (folder.empty())
        return std::string();
    const std::string path = folder + "/" + Platform::CacheFileName(address);
    return access(path.c_str(), R_OK) == 0 ? path : std::string();
}

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
    // A body that does not decode is never cached: every later start would
    // meet it again.
    if (!Platform::DecodePictureData(result.body, error)) {
        Platform::Log("Picture download: " + address + " is not a picture: " + error);
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
