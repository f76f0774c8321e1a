#pragma once
// The metronome's click sets: one AudioEntry per "Sample" child, in document order.
#include "audio/AudioEntry.h"

#include <functional>
#include <string>
#include <vector>

class AudioSamples : public XMLLoadSave {
public:
    AudioSamples() = default;
    // Throws XMLLoadSave::XMLLoadSaveException when an entry lacks an attribute.
    explicit AudioSamples(TiXmlElement* element);

    // Calls the function with each entry's name, in order.
    void ForEachName(const std::function<void(const std::string&)>& function) const;
    // The first entry of exactly that name; false (out unchanged) when none.
    bool Find(const std::string& name, AudioEntry& out) const;
    const std::vector<AudioEntry>& Entries() const { return entries_; }

private:
    std::vector<AudioEntry> entries_;
};
