#pragma once
// Address space for up to a fixed size of which only what is in use, and a
// spare beyond it, is in memory. A real-time thread reports how much it uses
// without waiting or allocating; a worker thread of the memory's own brings
// the pages in ahead of it, so that thread never faults one in. What lies
// beyond a given size can be given back when its content is forgotten.
#include <atomic>
#include <cstddef>
#include <mutex>
#include <semaphore.h>
#include <thread>

namespace Platform {

class GrowingMemory {
public:
    // Reserves `capacity` bytes of address space (nothing in memory yet);
    // the worker keeps `spare` bytes ready beyond what is in use.
    GrowingMemory(std::size_t capacity, std::size_t spare);
    ~GrowingMemory();
    GrowingMemory(const GrowingMemory&) = delete;
    GrowingMemory& operator=(const GrowingMemory&) = delete;

    // Null when the address space could not be reserved.
    void* Data() const { return data_; }
    std::size_t Capacity() const { return data_ ? capacity_ : 0; }
    // Bytes from the start that are in memory: usable without a fault.
    std::size_t Ready() const { return ready_.load(std::memory_order_acquire); }

    // Any thread, never waits, allocates or locks: the first `used` bytes are
    // in use (or wanted). Near the ready end the worker is woken to make
    // them and the spare beyond them ready.
    void Use(std::size_t used);
    // Not on a real-time thread: the first `bytes` (and the spare) are made
    // ready now, and the worker is started.
    void MakeReady(std::size_t bytes);
    // Not on a real-time thread: what lies beyond the first `bytes` and the
    // spare is given back (it reads as zeros when it is used again).
    void GiveBackBeyond(std::size_t bytes);

private:
    void Run();
    // With mutex_ held: brings the pages up to `bytes` in.
    void BringIn(std::size_t bytes);
    std::size_t PageAligned(std::size_t bytes) const;

    unsigned char* data_ = nullptr;
    std::size_t capacity_;
    std::size_t spare_;
    std::size_t page_;
    std::atomic<std::size_t> ready_{0};
    std::atomic<std::size_t> used_{0};
    std::atomic<bool> wakePending_{false};
    std::atomic<bool> stopping_{false};
    sem_t wake_;
    // Held while pages are brought in or given back.
    std::mutex mutex_;
    std::thread worker_;
};

} // namespace Platform
