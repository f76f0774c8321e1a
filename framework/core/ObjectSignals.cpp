#include "framework/core/ObjectSignals.h"

#include <algorithm>

namespace Vabo {
namespace Signal {

bool SelectObject::HoldsId(int id) const
{
    return std::find(selectedIds.begin(), selectedIds.end(), id) != selectedIds.end();
}

} // namespace Signal
} // namespace Vabo
