#pragma once
// The receivers of one broadcast signal type through one tree, kept from one
// send to the next. A broadcast reaches every object below the root that has
// connections for its type, in collection order, so the list only changes
// when an object joins or leaves a tree or gains a slot list; until then the
// clock's tick is delivered from the list instead of walking the tree.
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/core/Signal.h"

namespace Vabo {

class GuiObject;

class ReceiverCache {
public:
    // Collects the signal's receivers through root's tree, or takes the list
    // of the last call when nothing changed since, and delivers the signal.
    // Only for broadcast signals sent with no explicit object.
    void Send(GuiObject& root, Signal::Base& signal);

private:
    bool Fresh(const GuiObject& root, const Signal::Base& signal) const;

    const GuiObject* root_ = nullptr;
    std::weak_ptr<void> rootWatch_;
    int typeId_ = 0;
    std::uint64_t generation_ = 0;
    std::vector<Signal::_Base::Receiver> receivers_;
};

} // namespace Vabo
