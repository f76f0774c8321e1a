#include "platform/HttpFetch.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <mutex>

namespace Platform {
namespace {

bool StartsWithNoCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

struct Download {
    std::string body;
    std::size_t maxBytes = 0;
    bool tooLarge = false;
};

size_t Collect(char* data, size_t size, size_t count, void* user)
{
    auto* download = static_cast<Download*>(user);
    const size_t bytes = size * count;
    if (download->body.size() + bytes > download->maxBytes) {
        download->tooLarge = true;
        return 0; // makes libcurl abort the transfer
    }
    download->body.append(data, bytes);
    return bytes;
}

int CheckCancel(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto* cancel = static_cast<const std::atomic<bool>*>(user);
    return cancel->load() ? 1 : 0;
}

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

} // namespace

bool IsHttpAddress(const std::string& text)
{
    return StartsWithNoCase(text, "http://") || StartsWithNoCase(text, "https://");
}

HttpFetchResult HttpFetch(const std::string& url, const HttpFetchLimits& limits)
{
    HttpFetchResult result;
    if (!IsHttpAddress(url)) {
        result.error = "not an http or https address";
        return result;
    }
    static std::once_flag curlStarted;
    std::call_once(curlStarted, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    std::unique_ptr<CURL, EasyDeleter> handle(curl_easy_init());
    if (!handle) {
        result.error = "libcurl could not start a transfer";
        return result;
    }
    Download download;
    download.maxBytes = limits.maxBytes;
    char errorText[CURL_ERROR_SIZE] = "";
    CURL* h = handle.get();
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, limits.maxRedirects);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, limits.totalTimeoutMs);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
    curl_easy_setopt(h, CURLOPT_USERAGENT, "VInternetSession");
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &download);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    if (limits.cancel) {
        curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, CheckCancel);
        curl_easy_setopt(h, CURLOPT_XFERINFODATA, limits.cancel);
    }

    const CURLcode code = curl_easy_perform(h);
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &result.status);
    if (download.tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        result.error = "body larger than " + std::to_string(limits.maxBytes) + " bytes";
        return result;
    }
    if (code == CURLE_ABORTED_BY_CALLBACK) {
        result.error = "cancelled";
        return result;
    }
    if (code != CURLE_OK) {
        result.error = errorText[0] != '\0' ? errorText : curl_easy_strerror(code);
        return result;
    }
    if (result.status < 200 || result.status > 299) {
        result.error = "HTTP status " + std::to_string(result.status);
        return result;
    }
    result.body = std::move(download.body);
    result.ok = true;
    return result;
}

} // namespace Platform
