// The host window's signal types that skins connect to by name.
#include "framework/core/Registration.h"
#include "framework/core/HostInputSignals.h"

namespace Vabo {
namespace {

SignalRegistrar<Signal::RightButtonDown> rightButtonDownSignal("Vabo::Signal::RightButtonDown");

} // namespace
} // namespace Vabo
