#include "framework/core/objects/RegistryCoverage.h"

#include <algorithm>

TEST(WidgetRegistry, EveryRegisteredTypeSlotAndSignalCanBeCreatedByName)
{
    ObjectsTest::ExpectEveryRegistrationCreatable();
    const auto slots = DllGlobalObjectFactoryInstance().GetSlotNames();
    EXPECT_NE(slots.end(), std::find(slots.begin(), slots.end(), "Vabo::GridLayout::SlotRestartAnimation"));
    const auto types = DllGlobalObjectFactoryInstance().GetTypeNames();
    EXPECT_NE(types.end(), std::find(types.begin(), types.end(), "Vabo::GridLayout"));
}
