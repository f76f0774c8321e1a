#pragma once
// Colours the desktop would choose for standard elements; Linux desktops have
// no common source for them, so they are the classic fixed values.

namespace Platform {

struct Rgb {
    int red;
    int green;
    int blue;
};

// The background of tooltips: pale yellow.
constexpr Rgb TooltipBackground()
{
    return Rgb{255, 255, 225};
}

} // namespace Platform
