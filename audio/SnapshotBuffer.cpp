#include "audio/SnapshotBuffer.h"

#include <algorithm>

SnapshotBuffer::SnapshotBuffer(std::size_t capacity)
    : capacity_(capacity)
{
    for (Slot& slot : slots_)
        slot.samples.assign(capacity, 0.0f);
}

void SnapshotBuffer::Publish(const float* samples, std::size_t n)
{
    Slot& slot = slots_[back_];
    slot.size = std::min(n, capacity_);
    std::copy_n(samples, slot.size, slot.samples.begin());
    back_ = shared_.exchange(back_ | Fresh, std::memory_order_acq_rel) & ~Fresh;
}

bool SnapshotBuffer::Take()
{
    if (!(shared_.load(std::memory_order_acquire) & Fresh))
        return false;
    front_ = shared_.exchange(front_, std::memory_order_acq_rel) & ~Fresh;
    return true;
}

void SnapshotBuffer::CopyTo(std::vector<float>& destination) const
{
    const Slot& slot = slots_[front_];
    destination.assign(slot.samples.begin(), slot.samples.begin() + long(slot.size));
}
