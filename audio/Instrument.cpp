#include "audio/Instrument.h"

Instrument::Instrument(TiXmlElement* element)
{
    ReadXmlAttribute(name_, element, "Name", true);
    for (TiXmlElement* child : GetChildren(element, "Style"))
        styles_.emplace_back(child);
}

bool Instrument::FindStyle(const std::string& name, Style& out) const
{
    for (const Style& style : styles_) {
        if (style.GetName() == name) {
            out = style;
            return true;
        }
    }
    return false;
}
