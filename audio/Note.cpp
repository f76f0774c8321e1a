#include "audio/Note.h"

Note::Note(const std::string& name, float frequency)
    : name_(name)
    , frequency_(frequency)
{
}

Note::Note(TiXmlElement* element, bool required)
{
    ReadXmlAttribute(name_, element, "Name", required);
    ReadXmlAttribute(frequency_, element, "Frequency", required);
}
