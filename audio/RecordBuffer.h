#pragma once
// The metronome's recording: the capture blocks, oldest first, played back in
// a cycle. The engine thread appends and plays; the GUI thread prepares,
// clears and asks for the size. Neither ever waits for the other: blocks are
// published by an atomic count. Room for a whole recording (ten minutes) is
// set aside as address space only; what a recording uses is brought into
// memory ahead of it by another thread, so the recording callback never
// allocates or faults a page in, and a new recording gives back what the last
// one held. What comes after ten minutes is not kept. Process-wide; use after
// destruction at exit throws std::logic_error "Dead Reference Detected".
#include "audio/SoleEntry.h"
#include "platform/GrowingMemory.h"

#include <atomic>
#include <cstddef>

namespace Vabo {
template <class T> struct CreateWithExitRelease;
}

class RecordBuffer {
public:
    static constexpr int Rate = 44100;
    static constexpr std::size_t MaxSeconds = 600;
    static constexpr std::size_t MaxSamples = MaxSeconds * Rate;
    static constexpr std::size_t MaxBlocks = MaxSamples / 64;
    // What is kept in memory ahead of a recording.
    static constexpr std::size_t SpareSeconds = 10;

    static RecordBuffer& Instance();

    // GUI thread, before a recording stream starts: the memory for its first
    // seconds is brought in.
    void Prepare();
    // GUI thread: prepares, then forgets every block, giving back the memory
    // they held; play-back starts again at the first block.
    void Clear();
    // Play-back starts again at the first block (taken up by the next play
    // callback).
    void ResetPosition();

    // One recorded block, as the play-back sees it; no samples when the
    // recording is empty.
    struct BlockView {
        const float* samples = nullptr;
        std::size_t size = 0;
    };
    // The block the next play callback would deliver, taking its place: the
    // position moves on as a callback moves it. Only while no stream plays
    // the buffer.
    BlockView NextBlock();

    // Engine thread: appends the samples as one block. False (the block is
    // dropped) when the recording is full, was never prepared, or its memory
    // is not in yet (it is then asked for), and while another append is under
    // way (two capture streams at once).
    bool Append(const float* samples, std::size_t n);
    // Engine thread: the next block (after the last, the first again), cut to
    // the output's length; the rest of the output is silence. A call made
    // while another is under way (two streams at once) plays silence and
    // moves nothing on.
    int PlayCallback(void* input, void* output, unsigned long frames, double outTime, void* userData);

    std::size_t BlockCount() const;
    std::size_t SampleCount() const;
    // True once a block did not fit: the recording reached its limit.
    bool IsFull() const { return full_.load(std::memory_order_acquire); }
    // A recording keeps at most this many samples (MaxSamples at most):
    // tests reach the limit without recording ten minutes.
    void SetLimit(std::size_t samples);

private:
    friend struct Vabo::CreateWithExitRelease<RecordBuffer>;
    RecordBuffer() = default;

    struct Block {
        std::size_t offset;
        std::size_t length;
    };

    float* Samples() const { return static_cast<float*>(samples_.Data()); }
    Block* Blocks() const { return static_cast<Block*>(blocks_.Data()); }

    static constexpr std::size_t NoPosition = std::size_t(-1);

    // Moves the play-back position to the block to play now; NoPosition when
    // there is none.
    std::size_t AdvancePosition();

    Platform::GrowingMemory samples_{MaxSamples * sizeof(float), SpareSeconds * Rate * sizeof(float)};
    Platform::GrowingMemory blocks_{MaxBlocks * sizeof(Block), SpareSeconds * Rate / 64 * sizeof(Block)};
    // Set once the memory above is reserved and its start in; read by the
    // engine thread.
    std::atomic<bool> prepared_{false};
    // Blocks [0, count) are complete; a clear sets it back to 0.
    std::atomic<std::size_t> count_{0};
    std::atomic<bool> full_{false};
    std::atomic<std::size_t> limit_{MaxSamples};
    std::atomic<bool> rewind_{false};
    // The engine threads' own: the recorder's and the player's.
    SoleEntry recorder_;
    SoleEntry player_;
    std::size_t playPosition_ = NoPosition;
};
