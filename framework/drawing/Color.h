#pragma once
// A colour with 8-bit alpha, red, green and blue: the one colour type of the
// drawing layer, of skins (read as "r,g,b,a") and of every widget.
// Header-only so that the XML core can read colours without linking the
// drawing layer.
#include <algorithm>
#include <cstdint>

namespace GdiplusGfxLayer {

class Color {
public:
    // Opaque black.
    Color() = default;

    // Components outside 0..255 are clamped, so 256 means 255, never 0.
    Color(int alpha, int red, int green, int blue)
        : alpha_(Clamp(alpha))
        , red_(Clamp(red))
        , green_(Clamp(green))
        , blue_(Clamp(blue))
    {
    }

    // From a packed 0xAARRGGBB value.
    static Color FromArgb(std::uint32_t argb)
    {
        return Color(static_cast<int>((argb >> 24) & 0xFF), static_cast<int>((argb >> 16) & 0xFF),
                     static_cast<int>((argb >> 8) & 0xFF), static_cast<int>(argb & 0xFF));
    }

    int GetAlpha() const { return alpha_; }
    int GetRed() const { return red_; }
    int GetGreen() const { return green_; }
    int GetBlue() const { return blue_; }

    // Packed as 0xAARRGGBB.
    std::uint32_t GetValue() const
    {
        return (static_cast<std::uint32_t>(alpha_) << 24) | (static_cast<std::uint32_t>(red_) << 16)
            | (static_cast<std::uint32_t>(green_) << 8) | static_cast<std::uint32_t>(blue_);
    }

    bool operator==(const Color& other) const
    {
        return alpha_ == other.alpha_ && red_ == other.red_ && green_ == other.green_ && blue_ == other.blue_;
    }
    bool operator!=(const Color& other) const { return !(*this == other); }

private:
    static int Clamp(int component) { return std::clamp(component, 0, 255); }

    int alpha_ = 255;
    int red_ = 0;
    int green_ = 0;
    int blue_ = 0;
};

} // namespace GdiplusGfxLayer
