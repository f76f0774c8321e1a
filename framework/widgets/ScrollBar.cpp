#include "framework/widgets/ScrollBar.h"

namespace Vabo {

ScrollBar::ScrollBar(TiXmlElement* element)
    : ScrollBase(element)
{
    Connect();
}

ScrollBar::~ScrollBar() = default;

void ScrollBar::Connect()
{
    ConnectParts();
}

} // namespace Vabo
