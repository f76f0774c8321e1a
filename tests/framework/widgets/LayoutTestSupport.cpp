#include "LayoutTestSupport.h"

#include "framework/core/Registration.h"

namespace LayoutTest {
namespace {

const Vabo::RegisterClass<Probe> probeClass("Test::Probe", "", [](TiXmlElement* e) { return new Probe(e); });
const Vabo::SignalRegistrar<Ping> pingSignal("Test::Signal::Ping");

} // namespace

Probe::Probe(TiXmlElement* element)
    : GuiObject(element, 1, 0)
{
    AddSlot<Ping>(&Probe::PingSlot, this);
}

bool Probe::SetPosition(int x, int y)
{
    ++placements;
    return GuiObject::SetPosition(x, y);
}

void Probe::PingSlot(Vabo::Signal::Base*, Vabo::GuiObject*)
{
    ++pings;
}

} // namespace LayoutTest
