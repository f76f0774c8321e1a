#pragma once
// A font: a family, a size in pixels and style bits, used to draw and to
// measure text (UTF-8). The size is fixed when the font is made: given in
// pixels, or as a percentage of the height or width of a reference size (an
// object's) or else of the main window.
#include "framework/drawing/Geometry.h"
#include "framework/drawing/FontStyle.h"

#include <pango/pango.h>

#include <functional>
#include <string>

namespace GdiplusGfxLayer {

class Font {
public:
    // How the nominal size becomes pixels: percent of the reference's (or
    // the main window's client area's) height or width, or pixels as given.
    enum Conversion { Height = 0, Width = 1, Point = 2 };

    // `style` combines FontStyle bits. `reference` is the width and height the
    // percentage applies to; none means the main window's.
    Font(const std::string& family, float size, int style, int conversion, const Vabo::Rect* reference = nullptr);
    Font(const Font& other);
    Font& operator=(const Font&) = delete;
    ~Font();

    const std::string& GetFamily() const { return family_; }
    int GetStyle() const { return style_; }
    int GetConversion() const { return conversion_; }
    // The nominal size, as given or as last set.
    float GetSize() const { return size_; }
    // The size the text is drawn at, in pixels (at most 4096).
    float GetPixelSize() const { return pixelSize_; }
    // Only stores the nominal size; the drawn size stays (make a new Font).
    void SetSize(float size) { size_ = size; }

    // The box of the whole text laid out from (0, 0), each number rounded
    // half away from zero.
    Vabo::Rect MeasureString(const std::string& text) const;
    // The box of the characters first to last inclusive (counted in
    // characters, not bytes; -1 for first gives 0, -1 for last the end),
    // with lines wrapped at maxWidth, or unwrapped when it is -1; each number
    // rounded half away from zero. Empty for an empty range.
    Vabo::Rect MeasureRange(const std::string& text, int first, int last, float maxWidth) const;

    const PangoFontDescription* GetDescription() const { return description_; }

private:
    void Build();

    std::string family_;
    float size_;
    int style_;
    int conversion_;
    float pixelSize_;
    PangoFontDescription* description_ = nullptr;
};

// Reports the client-area size of the application's main window, or false
// when there is none. The host window installs it; fonts sized in percent
// use the nominal size as pixels while nothing is installed.
using MainWindowSizeSource = std::function<bool(int& width, int& height)>;
void SetMainWindowSizeSource(MainWindowSizeSource source);
// The main window's client-area size now; false when there is none.
bool CurrentMainWindowSize(int& width, int& height);

} // namespace GdiplusGfxLayer
