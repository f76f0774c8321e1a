#include "framework/core/ScreenCollector.h"

#include "framework/core/Singleton.h"

Vabo::_ScreenManager& DllScreenCollectorInstance()
{
    return Vabo::SingletonHolder<Vabo::_ScreenManager>::Instance();
}
