#pragma once
// Pictures named by "http://" or "https://" addresses: downloaded once into
// the cache folder and read from there ever after.
#include "platform/HttpFetch.h"

#include <string>

namespace Vabo {

// The cache file of the address, downloaded now when it is not cached yet.
// Only a complete 2xx body within the limits is written (whole, by rename).
// False, with the reason logged, when there is no picture to read.
bool DownloadPicture(const std::string& address, std::string& cacheFile,
                     const Platform::HttpFetchLimits& limits = Platform::HttpFetchLimits());

} // namespace Vabo
