#pragma once
// A flow layout of at most two children, one fixed and one expandable:
// the fixed child at the end, the expandable one before it.
#include "framework/widgets/FlowLayout_.h"

namespace Vabo {

class FlowLayoutEndAligned : public FlowLayout_<EndAligned> {
public:
    explicit FlowLayoutEndAligned(TiXmlElement* element);
    ~FlowLayoutEndAligned() override;
};

} // namespace Vabo
