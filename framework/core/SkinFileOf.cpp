#include "framework/widgets/SkinFileOf.h"

#include "framework/core/XmlDocument.h"

namespace Vabo {

std::string SkinFileOf(const TiXmlElement* element)
{
    for (const TiXmlNode* node = element; node != nullptr; node = node->Parent())
        if (const TiXmlNode* source = XmlDocument::GetSourceNode(node))
            return XmlDocument::FileNameOf(source);
    return XmlDocument::FileNameOf(element);
}

} // namespace Vabo
