#include "framework/core/IdFactory.h"

#include "framework/core/Singleton.h"

Vabo::IdFactory_& DllIdFactoryInstance()
{
    return Vabo::SingletonHolder<Vabo::IdFactory_>::Instance();
}
