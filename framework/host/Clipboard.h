// The framework's clipboard text exchange (the edit box's copy, cut and
// paste), on the platform's clipboard.
#pragma once

#include "platform/Clipboard.h"

namespace Vabo {

using Platform::GetClipboardText;
using Platform::SetClipboardText;

} // namespace Vabo
