#include "framework/widgets/FlowLayoutStartAligned.h"

namespace Vabo {

FlowLayoutStartAligned::FlowLayoutStartAligned(TiXmlElement* element)
    : FlowLayout_<StartAligned>(element)
{
}

FlowLayoutStartAligned::~FlowLayoutStartAligned() = default;

} // namespace Vabo
