#pragma once
// Names the skin file an element was written in, for messages about it.
#include <string>

class TiXmlElement;

namespace Vabo {

// A skin element merged over its base definition lives on as a copy in the
// base's document; this names the file the skin's own element came from.
std::string SkinFileOf(const TiXmlElement* element);

} // namespace Vabo
