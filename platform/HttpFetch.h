#pragma once
// Downloads one "http://" or "https://" address into memory with libcurl,
// within a size cap and timeouts; succeeds only on a complete 2xx body.
#include <atomic>
#include <cstddef>
#include <string>

namespace Platform {

struct HttpFetchLimits {
    std::size_t maxBytes = 16 * 1024 * 1024;
    long connectTimeoutMs = 5000;
    long totalTimeoutMs = 20000;
    long maxRedirects = 5;
    // When given and set, the transfer stops within a fraction of a second.
    const std::atomic<bool>* cancel = nullptr;
};

struct HttpFetchResult {
    bool ok = false;
    long status = 0; // the last HTTP status seen, 0 when none came
    std::string body; // complete only when ok
    std::string error; // why it failed, when not ok
};

HttpFetchResult HttpFetch(const std::string& url, const HttpFetchLimits& limits = HttpFetchLimits());

// Whether the text starts with "http://" or "https://" (any letter case).
bool IsHttpAddress(const std::string& text);

} // namespace Platform
