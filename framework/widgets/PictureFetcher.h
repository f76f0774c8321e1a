#pragma once
// Downloads "http://" pictures on worker threads, so that a server that
// hangs or trickles never stops the window from drawing and answering; each
// result is handed back to the GUI thread through its event loop.
#include "platform/HttpFetch.h"

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace Vabo {

class PictureFetcher {
public:
    // Runs on the GUI thread: whether the picture is cached, and its cache file.
    using Done = std::function<void(bool ok, const std::string& cacheFile)>;

    static PictureFetcher& Instance();

    // Downloads the address into the cache (as DownloadPicture does) on a
    // worker thread; `done` runs later on the GUI thread, never inside this call.
    void Fetch(const std::string& address, Done done,
               const Platform::HttpFetchLimits& limits = Platform::HttpFetchLimits());
    // Downloads whose `done` has not run yet.
    int Pending() const { return pending_; }

    PictureFetcher();
    // Stops the downloads still running and waits for their threads.
    ~PictureFetcher();
    PictureFetcher(const PictureFetcher&) = delete;
    PictureFetcher& operator=(const PictureFetcher&) = delete;

private:
    struct Worker {
        std::thread thread;
        std::atomic<bool> finished{false};
    };
    void JoinFinished();

    std::atomic<bool> cancel_{false};
    std::atomic<int> pending_{0};
    std::mutex mutex_;
    std::list<std::unique_ptr<Worker>> workers_;
};

} // namespace Vabo
