// A named list of values from "Data" children ("Name" and "Value", both
// required), in document order: the recording inputs, the perceived-hearing
// curve, the metronome's tempo presets and accent patterns.
#pragma once

#include "framework/core/XMLLoadSave.h"

#include <string>
#include <utility>
#include <vector>

template <class T> class SimpleStore : public XMLLoadSave {
public:
    SimpleStore() = default;
    // A null element gives an empty store; a "Data" child without "Name" or
    // "Value", or whose "Value" is not a T, is the XML error. Values are held
    // to the range.
    SimpleStore(TiXmlElement* element, const Vabo::SkinRange<T>& range)
        : range_(range)
    {
        if (element)
            XMLLoadSave::LoadOrThrow(element, this, &SimpleStore::LoadFromXML);
    }
    ~SimpleStore() override = default;

    // The value of the first entry of that name, 0 when there is none.
    T GetValue(const std::string& name) const
    {
        for (const auto& [entryName, value] : entries_) {
            if (entryName == name)
                return value;
        }
        return T();
    }

    // The name of the first entry holding that value, empty when none does.
    std::string FindName(const T& value) const
    {
        for (const auto& [name, entryValue] : entries_) {
            if (entryValue == value)
                return name;
        }
        return std::string();
    }

    template <class Fn> void ForEach(Fn&& fn) const
    {
        for (const auto& [name, value] : entries_)
            fn(name, value);
    }

    const std::vector<std::pair<std::string, T>>& GetEntries() const { return entries_; }

    bool LoadFromXML(TiXmlElement* element)
    {
        for (TiXmlElement* child : GetChildren(element, "Data")) {
            std::string name;
            T value = T();
            ReadXmlAttribute(name, child, "Name", true);
            ReadXmlAttribute(value, child, "Value", true, range_);
            entries_.emplace_back(name, value);
        }
        return true;
    }

private:
    Vabo::SkinRange<T> range_{T(), T(), Vabo::Beyond::Refuse};
    std::vector<std::pair<std::string, T>> entries_;
};
