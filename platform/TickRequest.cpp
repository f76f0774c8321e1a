#include "platform/TickRequest.h"

#include <algorithm>
#include <utility>

namespace Platform {
namespace {

// GUI thread only, as every tick and every listener is.
Milliseconds requested = kNoTick;

} // namespace

void RequestTickAt(Milliseconds at)
{
    requested = std::min(requested, at);
}

Milliseconds TakeRequestedTick()
{
    return std::exchange(requested, kNoTick);
}

} // namespace Platform
