#include "framework/core/ThreadFactory.h"

#include "framework/core/Singleton.h"

Vabo::ThreadFactory_& DllThreadFactorySingleton()
{
    return Vabo::SingletonHolder<Vabo::ThreadFactory_>::Instance();
}
