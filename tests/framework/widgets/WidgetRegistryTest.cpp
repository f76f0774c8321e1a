#include "framework/core/objects/RegistryCoverage.h"

#include <algorithm>

TEST(WidgetRegistry, EveryRegisteredTypeSlotAndSignalCanBeCreatedByName)
{
    // The message box has no default definition: a skin's document names the
    // one it uses, here the framework's own.
    ObjectsTest::ExpectEveryRegistrationCreatable(
        {{"MessageBoxA", "<MessageBoxA BaseXML=\"$VABO/Objects/MessageBoxA/MessageBoxA.xml\"/>"}});
    const auto slots = DllGlobalObjectFactoryInstance().GetSlotNames();
    EXPECT_NE(slots.end(), std::find(slots.begin(), slots.end(), "Vabo::GridLayout::SlotRestartAnimation"));
    const auto types = DllGlobalObjectFactoryInstance().GetTypeNames();
    EXPECT_NE(types.end(), std::find(types.begin(), types.end(), "Vabo::GridLayout"));
}
