#include "framework/core/Signal.h"

#include "framework/core/GuiObject.h"

namespace Vabo {
namespace Signal {

_Base::~_Base() = default;

void _Base::AddReceiver(GuiObject* object, int dx, int dy)
{
    receivers_.push_back(Receiver{object, dx, dy, object->Watch()});
}

} // namespace Signal
} // namespace Vabo
