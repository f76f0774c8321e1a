#include "framework/core/VaboInit.h"

#include "framework/core/Singleton.h"
#include "platform/Video.h"

namespace {

void (*factoryClear)() = nullptr;

void ClearFactory()
{
    if (factoryClear)
        factoryClear();
}

} // namespace

_VaboInit::_VaboInit()
{
    Vabo::SetExitRelease(&ClearFactory);
    // Windows, the event loop and the clipboard all need SDL's video; a
    // failure is logged with SDL's reason and the first window reports it.
    Platform::StartVideo();
}

_VaboInit::~_VaboInit()
{
    // Normally done already, before the first singleton died.
    Vabo::RunExitRelease();
}

void _VaboInit::SetFactoryClear(void (*clear)())
{
    factoryClear = clear;
}

_VaboInit& DllVaboInitInstance()
{
    return Vabo::SingletonHolder<_VaboInit>::Instance();
}
