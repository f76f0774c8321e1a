// Builds the object that a holder child of an element defines: the holder's
// first child element names the type and carries the object's own attributes,
// as in <Selected><Vabo::Image .../></Selected>. Buttons build their faces so.
#pragma once

#include <memory>
#include <string>

class TiXmlElement;
class XMLLoadSave;

namespace Vabo {

class GuiObject;

// The object defined under element's child `tag`. A missing holder, a holder
// without an element inside, or a type the factory cannot build is the XML
// error naming the element and the tag (logged, then XMLLoadSaveException).
std::shared_ptr<GuiObject> CreateDefinedChild(XMLLoadSave& loader, TiXmlElement* element, const std::string& tag);

} // namespace Vabo
