#include "audio/LatestBlock.h"

#include "audio/AudioDevice.h"

#include "framework/core/Singleton.h"

#include <algorithm>

LatestBlock& LatestBlock::Instance()
{
    return Vabo::SingletonHolder<LatestBlock>::Instance();
}

LatestBlock::LatestBlock()
{
    // Room for the blocks the capture delivers, so that the audio thread's
    // copies never allocate.
    block_.reserve(BlockSize);
}

void LatestBlock::Set(const float* samples, unsigned n)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (n > block_.capacity())
        n = unsigned(block_.capacity());
    block_.assign(samples, samples + n);
}

void LatestBlock::CopyTo(std::vector<float>& destination)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        destination = block_;
    }
    if (!AudioDevice::Instance().Input().IsActive())
        std::fill(destination.begin(), destination.end(), 0.0f);
}

std::vector<float>& LatestBlock::Get()
{
    CopyTo(reader_);
    return reader_;
}
