#pragma once
// A picture in memory: a premultiplied ARGB32 Cairo image surface, decoded
// from a file or made empty (transparent) to draw into, as back buffers and
// scaled copies are.
#include "framework/drawing/Geometry.h"
#include "framework/drawing/Color.h"
#include "platform/CairoSurfacePtr.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace GdiplusGfxLayer {

class Image {
public:
    // A picture file that cannot be read or decoded.
    class InvalidImageException : public std::runtime_error {
    public:
        explicit InvalidImageException(const std::string& fileName)
            : std::runtime_error("Image " + fileName + " not found!!")
        {
        }
    };

    // Decodes the file; throws InvalidImageException (after logging the
    // reason) when it cannot.
    explicit Image(const std::string& fileName);
    // A transparent picture of that size (sizes below 0 count as 0).
    Image(int width, int height);
    // A picture of that size (cut to the other's) over the top left pixels
    // of `pixels`, sharing them and keeping them alive: drawing into either
    // shows in both.
    Image(Image& pixels, int width, int height);

    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    int GetWidth() const;
    int GetHeight() const;

    // Draws the whole source picture scaled into (x, y, w, h) of this one;
    // mode 0 keeps the interpolation used last.
    bool DrawImageScaled(const Image& source, int x, int y, int w, int h, int interpolationMode);
    // Linear gradient from `from` at (x, y) to `to` at (x + w, y + h).
    bool FillGradientRect(const Vabo::Rect& rect, const Color& from, const Color& to);
    // Each row blends the corner colours down the sides in HSV and runs a
    // horizontal gradient between the two.
    bool FillGradientQuad(const Vabo::Rect& rect, const Color& topLeft, const Color& topRight, const Color& bottomLeft,
                          const Color& bottomRight);

    // The whole picture scaled to the size; null for a size below 1.
    std::unique_ptr<Image> GetThumbnail(int width, int height) const;
    // A copy of an area lying wholly inside the picture (in the same
    // premultiplied ARGB32 form as every picture); null for any other area.
    std::unique_ptr<Image> CloneArea(const Vabo::Rect& area) const;

    // The pixel with its colour taken out of premultiplication; opaque black
    // outside the picture.
    Color GetPixel(int x, int y) const;
    bool SetPixel(int x, int y, const Color& color);

    cairo_surface_t* GetSurface() const { return surface_.get(); }

private:
    Platform::CairoSurfacePtr surface_;
    cairo_filter_t filter_ = CAIRO_FILTER_BILINEAR;
};

} // namespace GdiplusGfxLayer
