#pragma once
// The drawing context that windows, widgets and visualisations draw with:
// fills, lines, frames, text and pictures on a Cairo image surface (the back
// buffer), with an origin moved by the object tree, a clip and an opacity.
// Only pictures follow the opacity; fills, lines and text are drawn as given.
// Lines follow the pixel grid as GDI+ draws them: a 1-pixel line from (x, y)
// to (x2, y) covers exactly the pixels x..x2 of row y.
#include "framework/drawing/Geometry.h"
#include "framework/drawing/Color.h"
#include "framework/drawing/Region.h"

#include <cairo.h>

#include <optional>
#include <string>
#include <vector>

namespace GdiplusGfxLayer {

class CachedTextLayout;
class Font;
class Image;
class Pen;

class Painter {
public:
    // Text alignment inside a rectangle.
    enum Alignment { Near = 0, Center = 1, Far = 2 };
    // What happens to text that does not fit its rectangle: 0 none (whole
    // lines that fit), 1 character, 2 word, 3 ellipsis at a character,
    // 4 ellipsis at a word, 5 ellipsis in the middle (for paths).
    enum Trimming {
        TrimNone = 0,
        TrimCharacter = 1,
        TrimWord = 2,
        EllipsisCharacter = 3,
        EllipsisWord = 4,
        EllipsisPath = 5
    };

    // Draws on the picture, which must outlive the painter.
    explicit Painter(Image& target);
    ~Painter();
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;

    bool FillRect(const Vabo::Rect& rect, const Color& color);
    // Fills the rectangles in the colour at once: the pixels FillRect gives
    // each where they do not overlap (overlaps are filled once), at a
    // fraction of the cost for many small ones.
    bool FillRects(const std::vector<Vabo::Rect>& rects, const Color& color);
    // Linear gradient from `from` at (x, y) to `to` at (x + w, y + h), repeated.
    bool FillGradientRect(const Vabo::Rect& rect, const Color& from, const Color& to);
    bool DrawLine(const Pen& pen, const Vabo::Point& from, const Vabo::Point& to);
    // Joined lines through the points, in one stroke: a translucent pen
    // blends once where two segments meet. A round cap at either end rounds
    // both ends; other caps end the line flat on the pixel grid.
    bool DrawLines(const Pen& pen, const Vabo::Point* points, int count);
    // A 3-D frame: top and left edges in one colour, right and bottom edges
    // (x + w, y + h) in the other.
    bool DrawFrame(const Vabo::Rect& rect, const Color& topLeft, const Color& bottomRight, float width);
    // Text with its top-left corner at (x, y).
    bool DrawString(const Font& font, const std::string& text, const Color& color, float x, float y);
    // Text wrapped into the rectangle, aligned horizontally, from its top.
    // With a cache the layout is taken from it (made anew only when something
    // changed), which spares a label laying its text out on every frame.
    bool DrawStringInRect(const Font& font, const std::string& text, const Color& color, float x, float y, float w,
                          float h, int alignment, int trimming, CachedTextLayout* cache = nullptr);

    // The pictures' operations draw nothing at opacity 0 and report success.
    bool DrawImageRect(const Image& image, const Vabo::Rect& source, const Vabo::Rect& destination);
    // Mode 0 keeps the interpolation used last; others set it.
    bool DrawImageScaled(const Image& image, int x, int y, int w, int h, int interpolationMode);
    bool DrawImageAt(const Image& image, int x, int y);
    bool DrawImageInRect(const Image& image, const Vabo::Rect& rect);
    // The picture scaled to w x h with the mode and drawn at (x, y), made
    // straight on the surface: the same pixels as drawing a copy scaled so,
    // with no copy made. False, with nothing drawn, where the painter cannot
    // (turned or scaled, or the box reaching off the surface's top or left);
    // the caller then draws a copy. The painter's own interpolation stays.
    bool DrawImageScaledInPlace(const Image& image, int x, int y, int w, int h, int interpolationMode);

    // Makes every pixel inside the clip transparent: a frame starts from
    // nothing, so translucent drawing does not pile up over earlier frames.
    bool Clear();
    // Whether any pixel of the rectangle (in the present origin) lies inside
    // the clip and the surface: drawing outside it would change nothing.
    bool Meets(const Vabo::Rect& rect) const;

    // The clip, in the surface's own pixels (whatever the origin); none
    // means unclipped.
    void SetClip(const Region& region);
    void ResetClip();
    const std::optional<Region>& GetClip() const { return clip_; }
    void RestoreClip(const std::optional<Region>& clip);
    // Narrows the clip to a rectangle given in the present origin.
    void IntersectClip(float x, float y, float w, float h);

    void Translate(float dx, float dy);
    void Rotate(float degrees);
    void Scale(float sx, float sy);

    float GetOpacity() const { return opacity_; }
    // Clamped to 0..1.
    void SetOpacity(float opacity);
    void MultiplyOpacity(float factor);

    cairo_t* GetGraphics() const { return cr_; }
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    // The Cairo status of the last operation that failed, 0 when none did.
    int GetLastStatus() const { return lastStatus_; }

private:
    bool DrawImage(const Image& image, double sx, double sy, double sw, double sh, double dx, double dy, double dw,
                   double dh);
    void ApplyClip();
    // The rectangle in the surface's own pixels, taken out to whole pixels.
    Vabo::Rect ToDevice(float x, float y, float w, float h) const;
    bool Check();

    cairo_t* cr_;
    int width_;
    int height_;
    float opacity_ = 1.0f;
    cairo_filter_t filter_ = CAIRO_FILTER_BILINEAR;
    std::optional<Region> clip_;
    int lastStatus_ = 0;
};

// Narrows the painter's clip to a rectangle for its lifetime, then puts the
// clip it found back.
class ClipScope {
public:
    ClipScope(Painter& painter, float x, float y, float w, float h);
    ClipScope(Painter& painter, const Vabo::Rect& rect)
        : ClipScope(painter, static_cast<float>(rect.x), static_cast<float>(rect.y), static_cast<float>(rect.width),
                    static_cast<float>(rect.height))
    {
    }
    ~ClipScope();
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;

private:
    Painter& painter_;
    std::optional<Region> saved_;
};

// Multiplies the painter's opacity for the life of the scope, then restores it.
class OpacityScope {
public:
    OpacityScope(Painter& painter, float factor);
    ~OpacityScope();
    OpacityScope(const OpacityScope&) = delete;
    OpacityScope& operator=(const OpacityScope&) = delete;

private:
    Painter& painter_;
    float saved_;
};

// Moves the painter's origin for the life of the scope, then moves it back.
class TranslationScope {
public:
    TranslationScope(Painter& painter, float dx, float dy);
    ~TranslationScope();
    TranslationScope(const TranslationScope&) = delete;
    TranslationScope& operator=(const TranslationScope&) = delete;

private:
    Painter& painter_;
    float dx_;
    float dy_;
};

} // namespace GdiplusGfxLayer
