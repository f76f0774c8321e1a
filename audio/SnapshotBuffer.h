#pragma once
// Hands the newest block of samples from one producer thread (the audio
// engine) to one consumer thread (the GUI) without either of them ever
// waiting: a triple buffer. The producer fills its own slot and swaps it with
// the shared one; the consumer swaps the shared slot with its own when a newer
// block is there. No call allocates after construction.
#include <array>
#include <atomic>
#include <cstddef>
#include <vector>

class SnapshotBuffer {
public:
    explicit SnapshotBuffer(std::size_t capacity);
    SnapshotBuffer(const SnapshotBuffer&) = delete;
    SnapshotBuffer& operator=(const SnapshotBuffer&) = delete;

    // Producer: copies n samples (at most the capacity) and publishes them.
    void Publish(const float* samples, std::size_t n);

    // Consumer: takes the newest published block when there is one; true then.
    bool Take();
    // Consumer: the block taken last (empty before the first).
    const float* Data() const { return slots_[front_].samples.data(); }
    std::size_t Size() const { return slots_[front_].size; }
    void CopyTo(std::vector<float>& destination) const;

    std::size_t Capacity() const { return capacity_; }

private:
    struct Slot {
        std::vector<float> samples;
        std::size_t size = 0;
    };
    static constexpr unsigned Fresh = 4;

    std::size_t capacity_;
    std::array<Slot, 3> slots_;
    // The shared slot's index, with Fresh set while it holds a block the
    // consumer has not taken.
    std::atomic<unsigned> shared_{1};
    unsigned back_ = 0; // producer only
    unsigned front_ = 2; // consumer only
};
