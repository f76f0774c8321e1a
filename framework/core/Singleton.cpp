#include "framework/core/Singleton.h"

#include <utility>

namespace Vabo {
namespace {

std::function<void()>& ExitRelease()
{
    // Never destroyed: singletons are destroyed at exit, possibly after the
    // function-local statics of this file.
    static auto* release = new std::function<void()>();
    return *release;
}

} // namespace

void SetExitRelease(std::function<void()> release)
{
    ExitRelease() = std::move(release);
}

void RunExitRelease()
{
    // Taken out first, so a release that destroys a singleton does not run
    // itself again.
    std::function<void()> release = std::move(ExitRelease());
    ExitRelease() = nullptr;
    if (release)
        release();
}

} // namespace Vabo
