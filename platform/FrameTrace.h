#pragma once
// A time-stamped record of what the program shows, for benchmarks that measure
// how soon a change reaches the screen. Off unless PELLORA_FRAME_TRACE names a
// file; then every line is "<wall-clock nanoseconds> <what>", written at once.
#include <string>

namespace Platform {

bool FrameTraceOn();
// GUI thread only.
void FrameTrace(const std::string& what);

} // namespace Platform
