#include "platform/GrowingMemory.h"

#include "platform/Log.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

namespace Platform {

GrowingMemory::GrowingMemory(std::size_t capacity, std::size_t spare)
    : capacity_(capacity)
    , spare_(spare)
    , page_(std::size_t(::sysconf(_SC_PAGESIZE)))
{
    ::sem_init(&wake_, 0, 0);
    capacity_ = PageAligned(capacity_);
    void* p = ::mmap(nullptr, capacity_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED)
        Log("memory: cannot reserve " + std::to_string(capacity_) + " bytes: " + std::strerror(errno));
    else
        data_ = static_cast<unsigned char*>(p);
}

GrowingMemory::~GrowingMemory()
{
    if (worker_.joinable()) {
        stopping_.store(true, std::memory_order_release);
        ::sem_post(&wake_);
        worker_.join();
    }
    if (data_)
        ::munmap(data_, capacity_);
    ::sem_destroy(&wake_);
}

std::size_t GrowingMemory::PageAligned(std::size_t bytes) const
{
    return (bytes + page_ - 1) / page_ * page_;
}

void GrowingMemory::Use(std::size_t used)
{
    used_.store(used, std::memory_order_release);
    // Woken at half the spare, so the worker has the other half's time to
    // keep ahead; one wake at a time.
    if (used + spare_ / 2 > ready_.load(std::memory_order_acquire) && ready_.load() < Capacity()
        && !wakePending_.exchange(true, std::memory_order_acq_rel))
        ::sem_post(&wake_);
}

void GrowingMemory::MakeReady(std::size_t bytes)
{
    if (!data_)
        return;
    std::lock_guard<std::mutex> lock(mutex_);
    BringIn(bytes + spare_);
    if (!worker_.joinable())
        worker_ = std::thread([this] { Run(); });
}

void GrowingMemory::GiveBackBeyond(std::size_t bytes)
{
    if (!data_)
        return;
    std::lock_guard<std::mutex> lock(mutex_);
    const std::size_t keep = std::min(PageAligned(bytes + spare_), capacity_);
    const std::size_t ready = ready_.load(std::memory_order_acquire);
    if (keep >= ready)
        return;
    ready_.store(keep, std::memory_order_release);
    ::madvise(data_ + keep, ready - keep, MADV_DONTNEED);
}

void GrowingMemory::BringIn(std::size_t bytes)
{
    const std::size_t target = std::min(PageAligned(bytes), capacity_);
    std::size_t ready = ready_.load(std::memory_order_acquire);
    // The pages beyond the ready end hold nothing (never used, or given
    // back): writing one byte of each brings it in.
    for (; ready < target; ready += page_)
        *static_cast<volatile unsigned char*>(data_ + ready) = 0;
    if (target > ready_.load(std::memory_order_relaxed))
        ready_.store(target, std::memory_order_release);
}

void GrowingMemory::Run()
{
    for (;;) {
        while (::sem_wait(&wake_) != 0 && errno == EINTR) {
        }
        if (stopping_.load(std::memory_order_acquire))
            return;
        wakePending_.store(false, std::memory_order_release);
        std::lock_guard<std::mutex> lock(mutex_);
        BringIn(used_.load(std::memory_order_acquire) + spare_);
    }
}

} // namespace Platform
