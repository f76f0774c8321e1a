#include "platform/SoundServerCalls.h"

namespace Platform {

BoundedCalls& SoundServerCalls()
{
    // Never destroyed: its thread may be held at exit by a server that does
    // not answer.
    static BoundedCalls& calls = *new BoundedCalls;
    return calls;
}

} // namespace Platform
