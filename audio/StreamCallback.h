#pragma once
// The form of every stream callback: (input, output, frames, output time,
// user data) -> 0 to go on. Samples are one channel of 32-bit floats; input is
// null for playback, output null for capture.
#include <functional>

using StreamCallback =
    std::function<int(void* input, void* output, unsigned long frames, double outTime, void* userData)>;
