#include "framework/widgets/PictureFetcher.h"

#include "framework/widgets/PictureDownload.h"
#include "platform/EventLoop.h"

namespace Vabo {

PictureFetcher& PictureFetcher::Instance()
{
    static PictureFetcher fetcher;
    return fetcher;
}

PictureFetcher::PictureFetcher()
{
    // The results come back as posted calls, which need the loop's events.
    Platform::EventLoop::Instance();
}

PictureFetcher::~PictureFetcher()
{
    cancel_ = true;
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& worker : workers_)
        worker->thread.join();
}

void PictureFetcher::JoinFinished()
{
    for (auto it = workers_.begin(); it != workers_.end();) {
        if ((*it)->finished) {
            (*it)->thread.join();
            it = workers_.erase(it);
        } else {
            ++it;
        }
    }
}

void PictureFetcher::Fetch(const std::string& address, Done done, const Platform::HttpFetchLimits& limits)
{
    std::lock_guard<std::mutex> lock(mutex_);
    JoinFinished();
    ++pending_;
    auto worker = std::make_unique<Worker>();
    Worker* self = worker.get();
    Platform::HttpFetchLimits cancellable = limits;
    cancellable.cancel = &cancel_;
    self->thread = std::thread([this, self, address, done = std::move(done), cancellable] {
        std::string cacheFile;
        const bool ok = DownloadPicture(address, cacheFile, cancellable);
        // At exit nobody waits for the answer any more.
        if (!cancel_) {
            Platform::EventLoop::Post([this, done, ok, cacheFile] {
                --pending_;
                done(ok, cacheFile);
            });
        }
        self->finished = true;
    });
    workers_.push_back(std::move(worker));
}

} // namespace Vabo
