#include "audio/InstrumentStore.h"

InstrumentStore::InstrumentStore(TiXmlElement* element)
{
    if (!element)
        return;
    for (TiXmlElement* child : GetChildren(element, "Instrument"))
        instruments_.emplace_back(child);
}

bool InstrumentStore::Find(const std::string& name, Instrument& out) const
{
    for (const Instrument& instrument : instruments_) {
        if (instrument.GetName() == name) {
            out = instrument;
            return true;
        }
    }
    return false;
}
