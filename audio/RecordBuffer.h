#pragma once
// The metronome's recording: the capture blocks, oldest first, played back in
// a cycle. Room for ten minutes is set aside up front, so the recording
// callback never allocates; what comes after that is not kept. Process-wide;
// use after destruction at exit throws std::logic_error "Dead Reference Detected".
#include <cstddef>
#include <mutex>
#include <vector>

namespace Vabo {
template <class T> struct CreateWithExitRelease;
}

class RecordBuffer {
public:
    static constexpr int Rate = 44100;
    static constexpr std::size_t MaxSeconds = 600;
    static constexpr std::size_t MaxSamples = MaxSeconds * Rate;
    static constexpr std::size_t MaxBlocks = MaxSamples / 64;

    static RecordBuffer& Instance();

    // Recording: appends the input as one block, then feeds the same samples
    // to the tuner's analysis (AudioDevice::OnInput).
    int RecordCallback(void* input, void* output, unsigned long frames, double outTime, void* userData);
    static int Record(void* input, void* output, unsigned long frames, double outTime, void* userData);
    // Play-back: the next block (after the last, the first again), cut to the
    // output's length; the rest of the output is silence.
    int PlayCallback(void* input, void* output, unsigned long frames, double outTime, void* userData);
    static int Play(void* input, void* output, unsigned long frames, double outTime, void* userData);

    // False when the recording is full (the block is dropped).
    bool Append(const float* samples, std::size_t n);
    void Clear();
    // Play-back starts again at the first block.
    void ResetPosition();

    std::size_t BlockCount();
    std::size_t SampleCount();
    bool IsFull();

private:
    friend struct Vabo::CreateWithExitRelease<RecordBuffer>;
    RecordBuffer();

    struct Block {
        std::size_t offset;
        std::size_t length;
    };

    static constexpr std::size_t NoPosition = std::size_t(-1);

    std::mutex mutex_;
    std::vector<float> samples_;
    std::vector<Block> blocks_;
    std::size_t playPosition_ = NoPosition;
    bool full_ = false;
};
