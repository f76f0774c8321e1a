#pragma once
// ThreadSanitizer runs every thread of the program several times slower than
// a real build, and a bound on how long the window may stand (half a second)
// is a real build's: in such a build the bounds, and the time given to see
// them kept, stretch by this factor. AddressSanitizer's build keeps them.
namespace TestSupport {

#if defined(__SANITIZE_THREAD__)
constexpr double SanitizerStretch = 4.0;
#else
constexpr double SanitizerStretch = 1.0;
#endif

} // namespace TestSupport
