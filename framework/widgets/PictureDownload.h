#pragma once
// Pictures named by "http://" or "https://" addresses: downloaded once into
// the cache folder and read from there ever after.
#include "platform/HttpFetch.h"

#include <string>

namespace Vabo {

// The cache file of the address, downloaded now when it is not cached yet.
// Only a complete 2xx body within the limits that decodes as a picture within
// the picture limits is written (whole, by rename). False, with the reason
// logged, when there is no picture to read. Safe on any thread.
bool DownloadPicture(const std::string& address, std::string& cacheFile,
                     const Platform::HttpFetchLimits& limits = Platform::HttpFetchLimits());

// The cache file of the address when it was downloaded before, else empty.
std::string CachedPictureFile(const std::string& address);

} // namespace Vabo
