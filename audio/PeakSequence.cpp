#include "audio/PeakSequence.h"

#include "audio/PitchEstimate.h"

#include <algorithm>

PeakSequence::PeakSequence(const std::vector<float>& magnitudes, int start, int w, int n)
    // Only the searched bins are copied: the copy is most of the search's cost.
    : copy_(magnitudes.begin(), magnitudes.begin() + std::clamp(n, 0, static_cast<int>(magnitudes.size())))
    , lo_(start + w)
    , w_(w)
    , n_(n)
    , degenerate_(start + w >= n - w)
{
    if (degenerate_ || lo_ < 0 || n_ > static_cast<int>(magnitudes.size()) || lo_ >= n_) {
        exhausted_ = true;
        return;
    }
    blockMax_.resize((n_ - lo_ + kBlock - 1) / kBlock);
    for (size_t b = 0; b < blockMax_.size(); ++b)
        UpdateBlock(static_cast<int>(b));
}

int PeakSequence::Next()
{
    if (degenerate_)
        return w_;
    if (exhausted_)
        return -1;
    // The first block holding the largest value holds its first index,
    // as a straight scan of the range would find it.
    int block = -1;
    float best = 0.0f;
    for (size_t b = 0; b < blockMax_.size(); ++b) {
        if (blockMax_[b] > best) {
            best = blockMax_[b];
            block = static_cast<int>(b);
        }
    }
    if (block < 0) {
        exhausted_ = true;
        return -1;
    }
    const int from = lo_ + block * kBlock;
    const int index = FindMaxInRange(copy_, from, std::min(from + kBlock, n_)).first;
    ClearAround(copy_, index, w_ - 1, n_);
    for (int b = BlockOf(index - (w_ - 1)); b <= BlockOf(index + (w_ - 1)); ++b)
        UpdateBlock(b);
    return index;
}

int PeakSequence::BlockOf(int index) const
{
    return std::clamp((index - lo_) / kBlock, 0, static_cast<int>(blockMax_.size()) - 1);
}

void PeakSequence::UpdateBlock(int b)
{
    const int from = lo_ + b * kBlock;
    const int to = std::min(from + kBlock, n_);
    float best = 0.0f;
    for (int i = from; i < to; ++i)
        best = copy_[i] > best ? copy_[i] : best;
    blockMax_[b] = best;
}
