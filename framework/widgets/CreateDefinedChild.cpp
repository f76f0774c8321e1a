#include "framework/widgets/CreateDefinedChild.h"

#include <tinyxml.h>

#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/GuiObject.h"
#include "framework/core/XMLLoadSave.h"

namespace Vabo {

std::shared_ptr<GuiObject> CreateDefinedChild(XMLLoadSave& loader, TiXmlElement* element, const std::string& tag)
{
    TiXmlElement* holder = element ? element->FirstChildElement(tag) : nullptr;
    TiXmlElement* definition = holder ? holder->FirstChildElement() : nullptr;
    // Only an element in first place defines the object: text or a comment
    // before it leaves the face undefined.
    if (!definition || holder->FirstChild() != definition)
        XMLLoadSave::ThrowXmlError(element, tag);
    std::shared_ptr<GuiObject> object = DllGlobalObjectFactoryInstance().Create(loader.ResolveBaseXML(definition));
    if (!object)
        XMLLoadSave::ThrowXmlError(element, tag);
    return object;
}

} // namespace Vabo
