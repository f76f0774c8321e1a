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
    reader_.reserve(BlockSize);
}

void LatestBlock::Set(const float* samples, unsigned n)
{
    block_.Publish(samples, n);
}

void LatestBlock::CopyTo(std::vector<float>& destination)
{
    block_.Take();
    block_.CopyTo(destination);
    if (!AudioDevice::Instance().Input().IsActive())
        std::fill(destination.begin(), destination.end(), 0.0f);
}

std::vector<float>& LatestBlock::Get()
{
    CopyTo(reader_);
    return reader_;
}
