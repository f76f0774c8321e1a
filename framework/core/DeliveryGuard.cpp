#include "framework/core/DeliveryGuard.h"

#include <utility>

namespace Vabo {

// Deliveries run on the GUI thread only.
int DeliveryGuard::depth_ = 0;

std::vector<std::shared_ptr<void>>& DeliveryGuard::Pending()
{
    // Never destroyed: objects may be released while statics die at exit.
    static auto* pending = new std::vector<std::shared_ptr<void>>;
    return *pending;
}

DeliveryGuard::DeliveryGuard()
{
    ++depth_;
}

DeliveryGuard::~DeliveryGuard()
{
    if (--depth_ > 0)
        return;
    // Destroying one may release others (its owned objects), or send signals
    // whose own guard empties the list first: take the list each round.
    while (!Pending().empty()) {
        std::vector<std::shared_ptr<void>> released = std::exchange(Pending(), {});
        for (std::shared_ptr<void>& object : released)
            object.reset();
    }
}

bool DeliveryGuard::Delivering()
{
    return depth_ > 0;
}

void DeliveryGuard::Release(std::shared_ptr<void> object)
{
    if (depth_ > 0)
        Pending().push_back(std::move(object));
}

} // namespace Vabo
