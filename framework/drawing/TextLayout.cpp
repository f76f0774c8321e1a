#include "framework/drawing/TextLayout.h"

#include <glib.h>

namespace GdiplusGfxLayer {

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
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) {
        pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
    } else {
        gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
        pango_layout_set_text(layout, valid, -1);
        g_free(valid);
    }
    return layout;
}

void ShapeTextLayout(PangoLayout* layout, float width, float height, int alignment, int trimming)
{
    if (width > 0) {
        pango_layout_set_width(layout, static_cast<int>(width * PANGO_SCALE));
        pango_layout_set_wrap(layout, trimming == 2 ? PANGO_WRAP_WORD : PANGO_WRAP_WORD_CHAR);
    }
    pango_layout_set_alignment(layout,
                               alignment == 1       ? PANGO_ALIGN_CENTER
                                   : alignment == 2 ? PANGO_ALIGN_RIGHT
                                                    : PANGO_ALIGN_LEFT);
    const bool ellipsis = trimming >= 3 && trimming <= 5;
    if (ellipsis && height > 0) {
        pango_layout_set_height(layout, static_cast<int>(height * PANGO_SCALE));
        pango_layout_set_ellipsize(layout, trimming == 5 ? PANGO_ELLIPSIZE_MIDDLE : PANGO_ELLIPSIZE_END);
    }
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
    return static_cast<int>(value < 0 ? value - 0.5 : value + 0.5);
}

} // namespace GdiplusGfxLayer
