#include "audio/RecordBuffer.h"

#include "audio/AudioDevice.h"

#include "framework/core/Singleton.h"

#include <algorithm>

RecordBuffer& RecordBuffer::Instance()
{
    return Vabo::SingletonHolder<RecordBuffer>::Instance();
}

RecordBuffer::RecordBuffer()
{
    // Address space only: pages are touched as the recording fills them.
    samples_.reserve(MaxSamples);
    blocks_.reserve(MaxBlocks);
}

bool RecordBuffer::Append(const float* samples, std::size_t n)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (samples_.size() + n > samples_.capacity() || blocks_.size() == blocks_.capacity()) {
        full_ = true;
        return false;
    }
    blocks_.push_back(Block{samples_.size(), n});
    samples_.insert(samples_.end(), samples, samples + n);
    return true;
}

int RecordBuffer::RecordCallback(void* input, void* output, unsigned long frames, double outTime, void* userData)
{
    if (input)
        Append(static_cast<const float*>(input), frames);
    return AudioDevice::Instance().OnInput(input, output, frames, outTime, userData);
}

int RecordBuffer::Record(void* input, void* output, unsigned long frames, double outTime, void* userData)
{
    return static_cast<RecordBuffer*>(userData)->RecordCallback(input, output, frames, outTime, userData);
}

int RecordBuffer::PlayCallback(void*, void* output, unsigned long frames, double, void*)
{
    float* out = static_cast<float*>(output);
    if (!out)
        return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    std::size_t copied = 0;
    if (!blocks_.empty()) {
        playPosition_ = playPosition_ == NoPosition || playPosition_ + 1 >= blocks_.size() ? 0 : playPosition_ + 1;
        const Block& block = blocks_[playPosition_];
        copied = std::min<std::size_t>(block.length, frames);
        std::copy_n(samples_.begin() + long(block.offset), copied, out);
    }
    std::fill(out + copied, out + frames, 0.0f);
    return 0;
}

int RecordBuffer::Play(void* input, void* output, unsigned long frames, double outTime, void* userData)
{
    return static_cast<RecordBuffer*>(userData)->PlayCallback(input, output, frames, outTime, userData);
}

void RecordBuffer::Clear()
{
    std::lock_guard<std::mutex> lock(mutex_);
    samples_.clear();
    blocks_.clear();
    playPosition_ = NoPosition;
    full_ = false;
}

void RecordBuffer::ResetPosition()
{
    std::lock_guard<std::mutex> lock(mutex_);
    playPosition_ = NoPosition;
}

std::size_t RecordBuffer::BlockCount()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return blocks_.size();
}

std::size_t RecordBuffer::SampleCount()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return samples_.size();
}

bool RecordBuffer::IsFull()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return full_;
}
