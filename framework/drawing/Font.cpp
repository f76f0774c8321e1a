#include "framework/drawing/Font.h"

#include "framework/drawing/TextLayout.h"

#include <glib.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace GdiplusGfxLayer {
namespace {

MainWindowSizeSource& MainWindowSize()
{
    static MainWindowSizeSource source;
    return source;
}

// The largest size text is drawn at. Pango counts in 1/1024 pixel in ints, so
// a line of a few thousand characters at this size still measures within range;
// skins asking for more (a typo, or a percentage of a huge reference) get this.
constexpr float kMaxPixelSize = 4096.0f;

float Bounded(float size)
{
    if (std::isnan(size))
        return 0.0f;
    return std::min(size, kMaxPixelSize);
}

float PixelSize(float size, int conversion, const Vabo::Rect* reference)
{
    if (conversion == Font::Point)
        return Bounded(size);
    int width = 0;
    int height = 0;
    if (reference) {
        width = reference->width;
        height = reference->height;
    } else if (!MainWindowSize() || !MainWindowSize()(width, height)) {
        return Bounded(size);
    }
    const float percent = 0.01f;
    return Bounded(size * percent * static_cast<float>(conversion == Font::Width ? width : height));
}

Vabo::Rect RoundedRect(double x, double y, double width, double height)
{
    return Vabo::Rect{RoundHalfAway(x), RoundHalfAway(y), RoundHalfAway(width), RoundHalfAway(height)};
}

} // namespace

void SetMainWindowSizeSource(MainWindowSizeSource source)
{
    MainWindowSize() = std::move(source);
}

bool CurrentMainWindowSize(int& width, int& height)
{
    return MainWindowSize() && MainWindowSize()(width, height);
}

Font::Font(const std::string& family, float size, int style, int conversion, const Vabo::Rect* reference)
    : family_(family)
    , size_(size)
    , style_(style)
    , conversion_(conversion)
    , pixelSize_(PixelSize(size, conversion, reference))
{
    Build();
}

Font::Font(const Font& other)
    : family_(other.family_)
    , size_(other.size_)
    , style_(other.style_)
    , conversion_(other.conversion_)
    , pixelSize_(other.pixelSize_)
{
    Build();
}

Font::~Font()
{
    pango_font_description_free(description_);
}

void Font::Build()
{
    description_ = pango_font_description_new();
    pango_font_description_set_family(description_, family_.c_str());
    // Pango needs a positive size; a font sized from an empty window is drawn
    // at the smallest size rather than not at all.
    pango_font_description_set_absolute_size(description_, std::max(pixelSize_, 1.0f) * PANGO_SCALE);
    pango_font_description_set_weight(description_, (style_ & FontStyleBold) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(description_,
                                     (style_ & FontStyleItalic) ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
}

Vabo::Rect Font::MeasureString(const std::string& text) const
{
    PangoLayout* layout = CreateTextLayout(MeasuringContext(), *this, text);
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    g_object_unref(layout);
    const double scale = PANGO_SCALE;
    return RoundedRect(logical.x / scale, logical.y / scale, logical.width / scale, logical.height / scale);
}

Vabo::Rect Font::MeasureRange(const std::string& text, int first, int last, float maxWidth) const
{
    PangoLayout* layout = CreateTextLayout(MeasuringContext(), *this, text);
    if (maxWidth >= 0) {
        pango_layout_set_width(layout, PangoUnits(maxWidth));
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    }
    const Vabo::Rect box = MeasureLaidOutRange(layout, first, last);
    g_object_unref(layout);
    return box;
}

} // namespace GdiplusGfxLayer
