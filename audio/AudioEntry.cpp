#include "audio/AudioEntry.h"

AudioEntry::AudioEntry(TiXmlElement* element)
{
    LoadOrThrow(element, this, &AudioEntry::Load);
}

bool AudioEntry::Load(TiXmlElement* element)
{
    return ReadXmlAttribute(name_, element, "Name", true) && ReadXmlAttribute(normal_, element, "Normal", true)
        && ReadXmlAttribute(accent_, element, "Accent", true);
}
