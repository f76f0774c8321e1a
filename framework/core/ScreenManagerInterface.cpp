#include "framework/core/ScreenManagerInterface.h"

namespace Vabo {

ScreenManagerInterface::~ScreenManagerInterface() = default;

} // namespace Vabo
