// Everything the core and the test types register can be created by its name.
#include "RegistryCoverage.h"

TEST(Registry, EveryRegisteredTypeSlotAndSignalCanBeCreatedByName)
{
    ObjectsTest::ExpectEveryRegistrationCreatable();
    auto& factory = DllGlobalObjectFactoryInstance();
    EXPECT_GE(factory.GetSignalNames().size(), 10u);
    EXPECT_GE(factory.GetSlotNames().size(), 5u);
    EXPECT_GE(factory.GetTypeNames().size(), 3u);
}
