#include "framework/core/RenderLock.h"

namespace Vabo {

std::recursive_mutex& RenderLock()
{
    // Never destroyed: screen managers released at exit may still take it.
    static auto* lock = new std::recursive_mutex;
    return *lock;
}

} // namespace Vabo
