#include "framework/widgets/FlowLayoutEndAligned.h"

namespace Vabo {

FlowLayoutEndAligned::FlowLayoutEndAligned(TiXmlElement* element)
    : FlowLayout_<EndAligned>(element)
{
}

FlowLayoutEndAligned::~FlowLayoutEndAligned() = default;

} // namespace Vabo
