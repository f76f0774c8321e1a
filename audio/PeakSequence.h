#pragma once
// Successive strongest peaks of one search: the same sequence that
// NthStrongestPeak walks for k = 1, 2, ..., kept so that asking for the
// next peak does not repeat the earlier ones. The maxima of blocks of the
// searched range are kept too, so that one step only rescans the blocks
// its clearing touched.
#include <vector>

class PeakSequence {
public:
    // Peaks at or above bin start + w and below n, each masking its w-1
    // neighbours.
    PeakSequence(const std::vector<float>& magnitudes, int start, int w, int n);

    // The next strongest peak; w when the range is too short, -1 once the
    // spectrum runs out of peaks.
    int Next();

private:
    static constexpr int kBlock = 32;

    int BlockOf(int index) const;
    void UpdateBlock(int b);

    std::vector<float> copy_;
    std::vector<float> blockMax_;
    int lo_;
    int w_;
    int n_;
    bool degenerate_;
    bool exhausted_ = false;
};
