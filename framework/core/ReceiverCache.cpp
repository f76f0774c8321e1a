#include "framework/core/ReceiverCache.h"

#include "framework/core/GuiObject.h"

namespace Vabo {

bool ReceiverCache::Fresh(const GuiObject& root, const Signal::Base& signal) const
{
    return root_ == &root && !rootWatch_.expired() && typeId_ == signal.GetTypeId()
        && generation_ == GuiObject::ReceiverGeneration();
}

void ReceiverCache::Send(GuiObject& root, Signal::Base& signal)
{
    signal.ClearReceivers();
    if (Fresh(root, signal)) {
        signal.SetReceivers(receivers_);
    } else {
        // Read before the walk: should the walk itself change a tree, the
        // next send collects again.
        generation_ = GuiObject::ReceiverGeneration();
        root.CollectReceivers(&signal, true);
        root_ = &root;
        rootWatch_ = root.Watch();
        typeId_ = signal.GetTypeId();
        receivers_ = signal.GetReceivers();
    }
    root.Deliver(&signal, nullptr);
}

} // namespace Vabo
