#pragma once
// The input level on the tuner's scale: (20 log10(RMS x full scale) - offset)
// / range with the application state's level offset and range, 0 at the
// offset and 1 a range above it. Silence gives minus infinity.
#include "app/vis/ValueSource.h"

class PowerCalcFunctor {
public:
    // The newest sample block and the input's full-scale value; by default
    // LatestBlock and the audio device.
    PowerCalcFunctor();
    PowerCalcFunctor(BlockSource block, ScalarSource fullScale);

    float operator()();

private:
    BlockSource block_;
    ScalarSource fullScale_;
};
