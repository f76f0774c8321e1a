#include "framework/drawing/TextLayout.h"

#include <glib.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace GdiplusGfxLayer {
namespace {

// Pango counts positions in 1/1024 pixel in ints, so no line may pass about
// two million pixels, nor may the lines of a wrapped text together. A
// character is taken to advance at most four times the font's size (a tab
// is about two and a half), and a text is laid out only as far as half that
// range, beyond anything a window shows (at 12 pixels, some twenty thousand
// characters): every extent Pango measures, and every sum formed from one
// here, then stays an int.
constexpr double kMostLaidOutPixels = 1 << 20;
constexpr double kMostAdvancePerPixelSize = 4.0;

glong MostCharacters(const Font& font)
{
    const double size = std::max(static_cast<double>(font.GetPixelSize()), 1.0);
    return static_cast<glong>(kMostLaidOutPixels / (kMostAdvancePerPixelSize * size));
}

// The bytes of the text's first `most` characters (valid UTF-8).
int LaidOutBytes(const char* text, std::size_t bytes, glong most)
{
    if (static_cast<double>(bytes) <= static_cast<double>(most))
        return static_cast<int>(bytes);
    const char* end = text + bytes;
    const char* at = text;
    for (glong i = 0; i < most && at < end; ++i)
        at = g_utf8_next_char(at);
    return static_cast<int>(std::min(at, end) - text);
}

} // namespace

int PangoUnits(float pixels)
{
    return static_cast<int>(std::min(static_cast<double>(pixels), kMostLaidOutPixels) * PANGO_SCALE);
}

PangoLayout* CreateTextLayout(cairo_t* cr, const Font& font, const std::string& text)
{
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);

    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoContext* context = pango_layout_get_context(layout);
    pango_cairo_context_set_font_options(context, options);
    pango_context_set_round_glyph_positions(context, FALSE);
    pango_layout_context_changed(layout);
    cairo_font_options_destroy(options);

    pango_layout_set_font_description(layout, font.GetDescription());
    if (font.GetStyle() & (FontStyleUnderline | FontStyleStrikeout)) {
        PangoAttrList* attributes = pango_attr_list_new();
        if (font.GetStyle() & FontStyleUnderline)
            pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        if (font.GetStyle() & FontStyleStrikeout)
            pango_attr_list_insert(attributes, pango_attr_strikethrough_new(TRUE));
        pango_layout_set_attributes(layout, attributes);
        pango_attr_list_unref(attributes);
    }
    const glong most = MostCharacters(font);
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) {
        pango_layout_set_text(layout, text.data(), LaidOutBytes(text.data(), text.size(), most));
    } else {
        gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
        pango_layout_set_text(layout, valid, LaidOutBytes(valid, std::strlen(valid), most));
        g_free(valid);
    }
    return layout;
}

void ShapeTextLayout(PangoLayout* layout, float width, float height, int alignment, int trimming)
{
    if (width > 0) {
        pango_layout_set_width(layout, PangoUnits(width));
        pango_layout_set_wrap(layout, trimming == 2 ? PANGO_WRAP_WORD : PANGO_WRAP_WORD_CHAR);
    }
    pango_layout_set_alignment(layout,
                               alignment == 1       ? PANGO_ALIGN_CENTER
                                   : alignment == 2 ? PANGO_ALIGN_RIGHT
                                                    : PANGO_ALIGN_LEFT);
    const bool ellipsis = trimming >= 3 && trimming <= 5;
    if (ellipsis && height > 0) {
        pango_layout_set_height(layout, PangoUnits(height));
        pango_layout_set_ellipsize(layout, trimming == 5 ? PANGO_ELLIPSIZE_MIDDLE : PANGO_ELLIPSIZE_END);
    }
}

Vabo::Rect MeasureLaidOutRange(PangoLayout* layout, int first, int last)
{
    const char* laidOut = pango_layout_get_text(layout);
    const long characters = g_utf8_strlen(laidOut, -1);
    const long from = first < 0 ? 0 : first;
    const long to = last < 0 ? characters - 1 : std::min<long>(last, characters - 1);
    if (from > to)
        return Vabo::Rect{};
    // The byte range of the characters, found in one pass over the text; then
    // one pass of an iterator over the laid-out characters (linear, where
    // asking for each character's position on its own is quadratic).
    const int firstByte = static_cast<int>(g_utf8_offset_to_pointer(laidOut, from) - laidOut);
    const char* lastChar = g_utf8_offset_to_pointer(laidOut + firstByte, to - from);
    const int endByte = static_cast<int>(g_utf8_next_char(lastChar) - laidOut);

    bool any = false;
    double left = 0, top = 0, right = 0, bottom = 0;
    PangoLayoutIter* iter = pango_layout_get_iter(layout);
    do {
        const int index = pango_layout_iter_get_index(iter);
        if (index < firstByte || index >= endByte)
            continue;
        PangoRectangle box;
        pango_layout_iter_get_char_extents(iter, &box);
        // Summed as doubles: the far edge of a box near the end of Pango's
        // range is beyond an int.
        const double x = static_cast<double>(box.x) / PANGO_SCALE;
        const double w = static_cast<double>(box.width) / PANGO_SCALE;
        const double x0 = std::min(x, x + w);
        const double x1 = std::max(x, x + w);
        const double y0 = static_cast<double>(box.y) / PANGO_SCALE;
        const double y1 = y0 + static_cast<double>(box.height) / PANGO_SCALE;
        if (!any) {
            left = x0, top = y0, right = x1, bottom = y1;
            any = true;
        } else {
            left = std::min(left, x0), top = std::min(top, y0);
            right = std::max(right, x1), bottom = std::max(bottom, y1);
        }
    } while (pango_layout_iter_next_char(iter));
    pango_layout_iter_free(iter);
    if (!any)
        return Vabo::Rect{};
    return Vabo::Rect{RoundHalfAway(left), RoundHalfAway(top), RoundHalfAway(right - left), RoundHalfAway(bottom - top)};
}

cairo_t* MeasuringContext()
{
    struct Holder {
        Holder()
        {
            cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
            cr = cairo_create(surface);
            cairo_surface_destroy(surface);
        }
        ~Holder() { cairo_destroy(cr); }
        cairo_t* cr;
    };
    static Holder holder;
    return holder.cr;
}

int RoundHalfAway(double value)
{
    const double rounded = value < 0 ? value - 0.5 : value + 0.5;
    if (!(rounded > std::numeric_limits<int>::min()))
        return value < 0 ? std::numeric_limits<int>::min() : 0;
    return rounded < std::numeric_limits<int>::max() ? static_cast<int>(rounded) : std::numeric_limits<int>::max();
}

} // namespace GdiplusGfxLayer
