// The signal types of the host window that skins connect to by name.
#include "framework/core/Registration.h"
#include "framework/host/HostInputSignals.h"

namespace Vabo {
namespace {

SignalRegistrar<Signal::RightButtonDown> rightButtonDownSignal("Vabo::Signal::RightButtonDown");

} // namespace
} // namespace Vabo
