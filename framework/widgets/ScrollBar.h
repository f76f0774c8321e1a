// The scroll bar that scroll windows build: a scroll base whose arrows and
// track pieces are wired to stepping and paging.
#pragma once

#include "framework/widgets/ScrollBase.h"

namespace Vabo {

class ScrollBar : public ScrollBase {
public:
    explicit ScrollBar(TiXmlElement* element);
    ~ScrollBar() override;

    void Connect() override;
};

} // namespace Vabo
