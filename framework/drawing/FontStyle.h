#pragma once
// Font style bits of the drawing layer (combinable; in skins one name of
// "Regular", "Bold", "Italic", "Underline", "Strikeout").
// Header-only so that the XML core can read styles without linking the
// drawing layer.

namespace GdiplusGfxLayer {

enum FontStyle : int {
    FontStyleRegular = 0,
    FontStyleBold = 1,
    FontStyleItalic = 2,
    FontStyleUnderline = 4,
    FontStyleStrikeout = 8,
};

} // namespace GdiplusGfxLayer
