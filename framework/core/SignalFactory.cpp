#include "framework/core/SignalFactory.h"

#include "framework/core/Singleton.h"

namespace Vabo {

SignalId_& DllSignalIdInstance()
{
    return SingletonHolder<SignalId_>::Instance();
}

std::uint32_t RequestSignalTypeId(std::uint32_t& classId)
{
    DllSignalIdInstance();
    if (classId == 0)
        classId = ++DllSignalFactoryInstance().counter;
    return classId;
}

} // namespace Vabo

Vabo::SignalFactory_& DllSignalFactoryInstance()
{
    return Vabo::SingletonHolder<Vabo::SignalFactory_>::Instance();
}
