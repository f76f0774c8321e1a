#pragma once
// The ranges of the numbers a skin gives the displays. Each count (lines,
// notes, bars, tics) divides a width, and each line or bar is drawn on every
// frame, so a count outside its range is refused when the skin loads.
#include "framework/core/SkinLimits.h"

namespace CountLimit {

constexpr Vabo::SkinRange<float> Lines{1.0f, 1000.0f, Vabo::Beyond::Refuse};
constexpr Vabo::SkinRange<int> Notes{1, 100, Vabo::Beyond::Refuse};
constexpr Vabo::SkinRange<int> Bars{1, 4096, Vabo::Beyond::Refuse};
constexpr Vabo::SkinRange<float> Tics{1.0f, 10000.0f, Vabo::Beyond::Refuse};
// Hertz either side of a note that a display spans.
constexpr Vabo::SkinRange<float> HertzWidth{0.0f, 10000.0f, Vabo::Beyond::Clamp};

} // namespace CountLimit
