#pragma once
// A flow layout of at most two children, one fixed and one expandable:
// the fixed child at the start, the expandable one after it.
#include "framework/widgets/FlowLayout_.h"

namespace Vabo {

class FlowLayoutStartAligned : public FlowLayout_<StartAligned> {
public:
    explicit FlowLayoutStartAligned(TiXmlElement* element);
    ~FlowLayoutStartAligned() override;
};

} // namespace Vabo
