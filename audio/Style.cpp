#include "audio/Style.h"

Style::Style(TiXmlElement* element)
{
    ReadXmlAttribute(name_, element, "Name", true);
    for (TiXmlElement* child : GetChildren(element, "Note"))
        notes_.emplace_back(child, false);
    number_ = 0;
}
