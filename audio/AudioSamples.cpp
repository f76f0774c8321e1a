#include "audio/AudioSamples.h"

AudioSamples::AudioSamples(TiXmlElement* element)
{
    for (TiXmlElement* child : GetChildren(element, "Sample"))
        entries_.emplace_back(child);
}

void AudioSamples::ForEachName(const std::function<void(const std::string&)>& function) const
{
    for (const AudioEntry& entry : entries_)
        function(entry.GetName());
}

bool AudioSamples::Find(const std::string& name, AudioEntry& out) const
{
    for (const AudioEntry& entry : entries_) {
        if (entry.GetName() == name) {
            out = entry;
            return true;
        }
    }
    return false;
}
