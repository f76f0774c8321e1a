#pragma once
// A label's Pango layout kept from frame to frame: laying text out is the
// costly part of drawing it, and a label's text, font and box rarely change.
// The layout is made anew only when one of them differs from the last use.
#include "framework/drawing/Font.h"

#include <pango/pangocairo.h>

#include <string>

namespace GdiplusGfxLayer {

class CachedTextLayout {
public:
    CachedTextLayout() = default;
    ~CachedTextLayout();
    CachedTextLayout(const CachedTextLayout&) = delete;
    CachedTextLayout& operator=(const CachedTextLayout&) = delete;

    // The layout of the text in the font, shaped as ShapeTextLayout does for
    // the box, alignment and trimming. Owned by this object.
    PangoLayout* Get(const Font& font, const std::string& text, float width, float height, int alignment, int trimming);
    // How many layouts were made so far.
    int Builds() const { return builds_; }

private:
    PangoLayout* layout_ = nullptr;
    std::string text_;
    std::string family_;
    float pixelSize_ = 0.0f;
    int style_ = 0;
    float width_ = 0.0f;
    float height_ = 0.0f;
    int alignment_ = 0;
    int trimming_ = 0;
    int builds_ = 0;
};

} // namespace GdiplusGfxLayer
