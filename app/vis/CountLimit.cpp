#include "app/vis/CountLimit.h"

#include "framework/core/XMLLoadSave.h"
#include "framework/core/XmlDocument.h"
#include "platform/Log.h"

#include <tinyxml.h>

#include <sstream>

namespace CountLimit {

void Require(const TiXmlElement* element, const std::string& attribute, float count, float min, float max)
{
    if (count >= min && count <= max)
        return;
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << "\"" << attribute << "\" of " << element->ValueStr() << " in " << XmlDocument::FileNameOf(element) << " is "
         << count << ", not from " << min << " to " << max;
    Platform::Log(text.str());
    XMLLoadSave::ThrowXmlError(element, attribute);
}

} // namespace CountLimit
