#pragma once
// Names the skin file an element or attribute was written in, for messages
// about it.
#include <string>

class TiXmlElement;

namespace Vabo {

// A skin element merged over its base definition lives on as a copy in the
// base's document (its attributes on the base's root, its children as copies
// below it); this names the file the skin's own element came from. With an
// attribute, the file that set that attribute: the definition's own file when
// the skin left the attribute to it.
std::string SkinFileOf(const TiXmlElement* element, const std::string& attribute = std::string());

} // namespace Vabo
