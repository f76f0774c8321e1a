#include "framework/core/SkinFileOf.h"

#include "framework/core/XmlDocument.h"

namespace Vabo {

std::string SkinFileOf(const TiXmlElement* element, const std::string& attribute)
{
    if (!element)
        return "(none)";
    if (const TiXmlElement* derived = XmlDocument::GetIncludingElement(element))
        if (attribute.empty() || derived->Attribute(attribute))
            return SkinFileOf(derived, attribute);
    for (const TiXmlNode* node = element; node != nullptr; node = node->Parent())
        if (const TiXmlNode* source = XmlDocument::GetSourceNode(node))
            return source->ToElement() ? SkinFileOf(source->ToElement()) : XmlDocument::FileNameOf(source);
    return XmlDocument::FileNameOf(element);
}

} // namespace Vabo
