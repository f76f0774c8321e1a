#pragma once
// One key frame of a skin animation: at its time after the start of a run it
// sets the opacity and/or layout fractions of its object and may send it a
// signal. An animation is the ordered list of a child's keys.
#include <memory>
#include <vector>

namespace Vabo {

namespace Signal {
class Base;
}

struct AnimationKey {
    bool fired = false;
    int timeMs = 0; // from the start of the run
    float alpha = 0.0f;
    bool hasAlpha = false;
    float x = 0.0f;
    bool hasX = false;
    float y = 0.0f;
    bool hasY = false;
    float width = 0.0f;
    bool hasWidth = false;
    float height = 0.0f;
    bool hasHeight = false;
    std::shared_ptr<Signal::Base> signal;
};

using Animation = std::vector<AnimationKey>;

} // namespace Vabo
