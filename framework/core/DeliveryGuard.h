#pragma once
// Marks the time a signal is being delivered. A handler may release objects
// (a screen replaced, a named object built again) that are still receivers
// further down the list or frames further down the stack; released during a
// delivery, they live on until the outermost delivery has ended.
#include <memory>
#include <vector>

namespace Vabo {

class DeliveryGuard {
public:
    DeliveryGuard();
    ~DeliveryGuard();
    DeliveryGuard(const DeliveryGuard&) = delete;
    DeliveryGuard& operator=(const DeliveryGuard&) = delete;

    static bool Delivering();
    // Drops the reference now, or when the outermost delivery has ended.
    static void Release(std::shared_ptr<void> object);

private:
    static int depth_;
    static std::vector<std::shared_ptr<void>>& Pending();
};

} // namespace Vabo
