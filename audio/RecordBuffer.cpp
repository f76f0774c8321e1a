#include "audio/RecordBuffer.h"

#include "framework/core/Singleton.h"

#include <algorithm>

RecordBuffer& RecordBuffer::Instance()
{
    return Vabo::SingletonHolder<RecordBuffer>::Instance();
}

void RecordBuffer::Prepare()
{
    samples_.MakeReady(0);
    blocks_.MakeReady(0);
    if (Samples() && Blocks())
        prepared_.store(true, std::memory_order_release);
}

void RecordBuffer::Clear()
{
    Prepare();
    count_.store(0, std::memory_order_release);
    full_.store(false, std::memory_order_release);
    ResetPosition();
    // The forgotten recording's memory goes back; the start stays in for
    // the next one.
    samples_.Use(0);
    blocks_.Use(0);
    samples_.GiveBackBeyond(0);
    blocks_.GiveBackBeyond(0);
}

void RecordBuffer::ResetPosition()
{
    rewind_.store(true, std::memory_order_release);
}

bool RecordBuffer::Append(const float* samples, std::size_t n)
{
    const SoleEntry::Pass pass(recorder_);
    if (!pass || !prepared_.load(std::memory_order_acquire))
        return false;
    std::size_t count = count_.load(std::memory_order_acquire);
    Block* blocks = Blocks();
    const std::size_t offset = count == 0 ? 0 : blocks[count - 1].offset + blocks[count - 1].length;
    const std::size_t limit = limit_.load(std::memory_order_relaxed);
    if (count == MaxBlocks || offset > limit || n > limit - offset) {
        full_.store(true, std::memory_order_release);
        return false;
    }
    const std::size_t sampleBytes = (offset + n) * sizeof(float);
    const std::size_t blockBytes = (count + 1) * sizeof(Block);
    samples_.Use(sampleBytes);
    blocks_.Use(blockBytes);
    if (sampleBytes > samples_.Ready() || blockBytes > blocks_.Ready())
        return false;
    std::copy_n(samples, n, Samples() + offset);
    blocks[count] = Block{offset, n};
    // A clear in the meantime wins: this block belonged to the old recording.
    return count_.compare_exchange_strong(count, count + 1, std::memory_order_acq_rel);
}

std::size_t RecordBuffer::AdvancePosition()
{
    if (rewind_.exchange(false, std::memory_order_acq_rel))
        playPosition_ = NoPosition;
    const std::size_t count = count_.load(std::memory_order_acquire);
    if (count == 0)
        return NoPosition;
    playPosition_ = playPosition_ == NoPosition || playPosition_ + 1 >= count ? 0 : playPosition_ + 1;
    return playPosition_;
}

RecordBuffer::BlockView RecordBuffer::NextBlock()
{
    const std::size_t position = AdvancePosition();
    if (position == NoPosition)
        return BlockView{};
    const Block block = Blocks()[position];
    return BlockView{Samples() + block.offset, block.length};
}

int RecordBuffer::PlayCallback(void*, void* output, unsigned long frames, double, void*)
{
    float* out = static_cast<float*>(output);
    if (!out)
        return 0;
    const SoleEntry::Pass pass(player_);
    const std::size_t position = pass ? AdvancePosition() : NoPosition;
    std::size_t copied = 0;
    if (position != NoPosition) {
        const Block block = Blocks()[position];
        copied = std::min<std::size_t>(block.length, frames);
        std::copy_n(Samples() + block.offset, copied, out);
    }
    std::fill(out + copied, out + frames, 0.0f);
    return 0;
}

void RecordBuffer::SetLimit(std::size_t samples)
{
    limit_.store(std::min(samples, MaxSamples), std::memory_order_relaxed);
}

std::size_t RecordBuffer::BlockCount() const
{
    return count_.load(std::memory_order_acquire);
}

std::size_t RecordBuffer::SampleCount() const
{
    const std::size_t count = count_.load(std::memory_order_acquire);
    return count == 0 ? 0 : Blocks()[count - 1].offset + Blocks()[count - 1].length;
}
