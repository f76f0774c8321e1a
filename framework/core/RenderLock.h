#pragma once
// The one process-wide render lock: all input delivery and rendering of the
// screen managers run under it, on the GUI thread only. Recursive, because
// nested modal loops take it again.
#include <mutex>

namespace Vabo {

std::recursive_mutex& RenderLock();

} // namespace Vabo
