#include "framework/core/ScreenManagerInterface.h"

#include "platform/Log.h"

namespace Vabo {

ScreenManagerInterface::~ScreenManagerInterface() = default;

bool ScreenManagerInterface::IsLeftButtonHeld() const
{
    return false;
}

bool ScreenManagerInterface::IsFocusObject(const GuiObject*) const
{
    return false;
}

void ScreenManagerInterface::AddScreen(const std::string& screenName, bool, const std::string& objectName,
                                       const std::string& fileName)
{
    Platform::Log("ScreenManager: cannot register the screen " + screenName + " (object " + objectName + " in "
                  + fileName + "): this screen manager keeps no screens");
}

} // namespace Vabo
