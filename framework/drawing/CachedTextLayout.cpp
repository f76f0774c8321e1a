#include "framework/drawing/CachedTextLayout.h"

#include "framework/drawing/TextLayout.h"

namespace GdiplusGfxLayer {

CachedTextLayout::~CachedTextLayout()
{
    if (layout_)
        g_object_unref(layout_);
}

PangoLayout* CachedTextLayout::Get(const Font& font, const std::string& text, float width, float height, int alignment,
                                   int trimming)
{
    if (layout_ && text == text_ && font.GetFamily() == family_ && font.GetPixelSize() == pixelSize_
        && font.GetStyle() == style_ && width == width_ && height == height_ && alignment == alignment_
        && trimming == trimming_)
        return layout_;
    if (layout_)
        g_object_unref(layout_);
    layout_ = CreateTextLayout(MeasuringContext(), font, text);
    ShapeTextLayout(layout_, width, height, alignment, trimming);
    text_ = text;
    family_ = font.GetFamily();
    pixelSize_ = font.GetPixelSize();
    style_ = font.GetStyle();
    width_ = width;
    height_ = height;
    alignment_ = alignment;
    trimming_ = trimming;
    ++builds_;
    return layout_;
}

} // namespace GdiplusGfxLayer
