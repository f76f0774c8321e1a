#pragma once
// Collects decimated samples into blocks of a fixed length and hands each
// full block to its sink (the sample displays' LatestBlock). Engine thread only.
#include <functional>
#include <vector>

using SampleSink = std::function<void(const float* samples, unsigned count)>;

class SampleBlockBuffer {
public:
    SampleBlockBuffer(int capacity, SampleSink sink);

    void Push(const float* samples, int n);
    int Fill() const { return fill_; }

private:
    void Deliver(const float* samples, unsigned count);

    int fill_ = 0;
    int capacity_;
    std::vector<float> buffer_;
    SampleSink sink_;
};
