// The named slots and signal types of the object framework core.
#include "framework/core/GuiObject.h"
#include "framework/core/InputSignals.h"
#include "framework/core/KeyCommandSignals.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/Registration.h"

namespace Vabo {
namespace {

RegisterClassSlot<GuiObject, Signal::Base> showSlot("Vabo::GuiObject::SlotShow", &GuiObject::SlotShow);
RegisterClassSlot<GuiObject, Signal::Base> hideSlot("Vabo::GuiObject::SlotHide", &GuiObject::SlotHide);
RegisterClassSlot<GuiObject, Signal::Base> activateSlot("Vabo::GuiObject::SlotActivate", &GuiObject::SlotActivate);

SignalRegistrar<Signal::Hide> hideSignal("Vabo::Signal::Hide");
SignalRegistrar<Signal::Show> showSignal("Vabo::Signal::Show");
SignalRegistrar<Signal::LeftButtonDown> leftButtonDownSignal("Vabo::Signal::LeftButtonDown");
SignalRegistrar<Signal::Activate> activateSignal("Vabo::Signal::Activate");
SignalRegistrar<Signal::ScreenActivation> screenActivationSignal("Vabo::Signal::ScreenActivation");
SignalRegistrar<Signal::ObjectSelected> objectSelectedSignal("Vabo::Signal::ObjectSelected");
SignalRegistrar<Signal::ObjectDeselected> objectDeselectedSignal("Vabo::Signal::ObjectDeselected");
SignalRegistrar<Signal::ObjectVisibilityChange> visibilityChangeSignal("Vabo::Signal::ObjectVisibilityChange");
SignalRegistrar<Signal::ObjectReady> objectReadySignal("Vabo::Signal::ObjectReady");
// Skins connect to clicks by name, as they do to activations.
SignalRegistrar<Signal::MouseClick> mouseClickSignal("Vabo::Signal::MouseClick");
SignalRegistrar<Signal::Confirm> confirmSignal("Vabo::Signal::Confirm");
SignalRegistrar<Signal::Cancel> cancelSignal("Vabo::Signal::Cancel");

} // namespace
} // namespace Vabo
