#pragma once
// The ranges that lengths and times read from a skin are clamped to when they
// are loaded, so that no sum formed from them later (a window offset over every
// nesting level, a child's far edge, a key time over all earlier keys, a step of
// the GUI builder) can leave the range of an int.
#include <algorithm>

namespace Vabo {

// Pixels, far beyond any screen: objects nest at most 64 deep, and 64 such
// offsets plus a length still fit an int many times over.
constexpr int kMaxSkinLength = 1 << 20;
// Milliseconds, for one animation key and for a whole animation: a day.
constexpr int kMaxAnimationMs = 24 * 60 * 60 * 1000;

// The value clamped to [low, high]; changed tells whether it had to be.
template <class T> T ClampToRange(T value, T low, T high, bool& changed)
{
    const T clamped = std::clamp(value, low, high);
    changed = changed || clamped != value;
    return clamped;
}

} // namespace Vabo
