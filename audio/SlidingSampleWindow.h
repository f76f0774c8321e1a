#pragma once
// The newest N decimated samples, oldest first, handed to its sink (the pitch
// analysis) every time H new samples have arrived. Engine thread only.
#include "audio/SampleBlockBuffer.h"

#include <vector>

class SlidingSampleWindow {
public:
    SlidingSampleWindow(int length, int hop, SampleSink sink);

    void Push(const float* samples, int n);

private:
    void Deliver(const float* samples, unsigned count);

    int sinceDelivery_ = 0;
    int length_;
    int hop_;
    std::vector<float> window_;
    SampleSink sink_;
};
