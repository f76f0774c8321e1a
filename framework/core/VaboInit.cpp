#include "framework/core/VaboInit.h"

#include "framework/core/Singleton.h"

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
