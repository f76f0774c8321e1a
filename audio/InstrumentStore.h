// The instruments of the tuning configuration, in document order.
#pragma once

#include "audio/Instrument.h"
#include "framework/core/XMLLoadSave.h"

#include <string>
#include <vector>

class InstrumentStore : public XMLLoadSave {
public:
    InstrumentStore() = default;
    // Reads the "Instrument" children; a null element gives an empty store.
    explicit InstrumentStore(TiXmlElement* element);
    ~InstrumentStore() override = default;

    // A copy of the first instrument of that name (case matters); false
    // when there is none.
    bool Find(const std::string& name, Instrument& out) const;
    const std::vector<Instrument>& GetInstruments() const { return instruments_; }

private:
    std::vector<Instrument> instruments_;
};
