#include "framework/drawing/Image.h"

#include "framework/drawing/CairoColor.h"
#include "framework/drawing/ColorHsv.h"
#include "framework/drawing/Interpolation.h"
#include "platform/Log.h"
#include "platform/PictureDecoder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace GdiplusGfxLayer {
namespace {

struct Context {
    explicit Context(cairo_surface_t* surface)
        : cr(cairo_create(surface))
    {
    }
    ~Context() { cairo_destroy(cr); }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
    bool Ok() const { return cairo_status(cr) == CAIRO_STATUS_SUCCESS; }
    cairo_t* cr;
};

const cairo_user_data_key_t kSharedPixels{};

} // namespace

Image::Image(const std::string& fileName)
{
    std::string error;
    surface_ = Platform::DecodePicture(fileName, error);
    if (!surface_) {
        Platform::Log("Image: cannot decode " + fileName + ": " + error);
        throw InvalidImageException(fileName);
    }
}

Image::Image(int width, int height)
    : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(width, 0), std::max(height, 0)))
{
}

Image::Image(Image& pixels, int width, int height)
{
    cairo_surface_t* shared = pixels.GetSurface();
    cairo_surface_flush(shared);
    surface_.reset(cairo_image_surface_create_for_data(
        cairo_image_surface_get_data(shared), CAIRO_FORMAT_ARGB32, std::clamp(width, 0, pixels.GetWidth()),
        std::clamp(height, 0, pixels.GetHeight()), cairo_image_surface_get_stride(shared)));
    cairo_surface_set_user_data(surface_.get(), &kSharedPixels, cairo_surface_reference(shared),
                                [](void* kept) { cairo_surface_destroy(static_cast<cairo_surface_t*>(kept)); });
}

int Image::GetWidth() const
{
    return cairo_image_surface_get_width(surface_.get());
}

int Image::GetHeight() const
{
    return cairo_image_surface_get_height(surface_.get());
}

bool Image::DrawImageScaled(const Image& source, int x, int y, int w, int h, int interpolationMode)
{
    filter_ = FilterForInterpolation(interpolationMode, filter_);
    const int sw = source.GetWidth();
    const int sh = source.GetHeight();
    if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0)
        return true;
    Context c(surface_.get());
    cairo_rectangle(c.cr, x, y, w, h);
    cairo_clip(c.cr);
    cairo_translate(c.cr, x, y);
    cairo_scale(c.cr, static_cast<double>(w) / sw, static_cast<double>(h) / sh);
    cairo_set_source_surface(c.cr, source.GetSurface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(c.cr), filter_);
    cairo_pattern_set_extend(cairo_get_source(c.cr), CAIRO_EXTEND_PAD);
    cairo_paint(c.cr);
    return c.Ok();
}

std::unique_ptr<Image> Image::GetThumbnail(int width, int height) const
{
    if (width < 1 || height < 1)
        return nullptr;
    auto thumbnail = std::make_unique<Image>(width, height);
    // Each thumbnail pixel averages the pixels it stands for.
    const int highQuality = 2;
    if (!thumbnail->DrawImageScaled(*this, 0, 0, width, height, highQuality))
        return nullptr;
    return thumbnail;
}

std::unique_ptr<Image> Image::CloneArea(const Vabo::Rect& area) const
{
    if (area.width < 1 || area.height < 1 || area.x < 0 || area.y < 0 || area.width > GetWidth() - area.x
        || area.height > GetHeight() - area.y)
        return nullptr;
    auto copy = std::make_unique<Image>(area.width, area.height);
    Context c(copy->GetSurface());
    cairo_set_operator(c.cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(c.cr, surface_.get(), -area.x, -area.y);
    cairo_paint(c.cr);
    if (!c.Ok())
        return nullptr;
    return copy;
}

bool Image::FillGradientRect(const Vabo::Rect& rect, const Color& from, const Color& to)
{
    Context c(surface_.get());
    cairo_pattern_t* gradient =
        CreateLinearGradient(rect.x, rect.y, from, rect.x + rect.width, rect.y + rect.height, to);
    cairo_set_source(c.cr, gradient);
    cairo_rectangle(c.cr, rect.x, rect.y, rect.width, rect.height);
    cairo_fill(c.cr);
    cairo_pattern_destroy(gradient);
    return c.Ok();
}

bool Image::FillGradientQuad(const Vabo::Rect& rect, const Color& topLeft, const Color& topRight,
                             const Color& bottomLeft, const Color& bottomRight)
{
    Context c(surface_.get());
    for (int row = 0; row < rect.height; ++row) {
        // Measured from the quad's own top row, wherever the quad sits.
        const float t = static_cast<float>(row) / static_cast<float>(rect.height);
        const Color left = BlendColorsHsv(topLeft, bottomLeft, t);
        const Color right = BlendColorsHsv(topRight, bottomRight, t);
        const int y = rect.y + row;
        cairo_pattern_t* gradient = CreateLinearGradient(rect.x, 0, left, rect.x + rect.width, 0, right);
        cairo_set_source(c.cr, gradient);
        cairo_rectangle(c.cr, rect.x, y, rect.width, 1);
        cairo_fill(c.cr);
        cairo_pattern_destroy(gradient);
    }
    return c.Ok();
}

Color Image::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight())
        return Color(255, 0, 0, 0);
    cairo_surface_flush(surface_.get());
    std::uint32_t pixel;
    std::memcpy(&pixel,
                cairo_image_surface_get_data(surface_.get())
                    + static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(surface_.get()) + 4 * x,
                4);
    const int a = static_cast<int>(pixel >> 24);
    if (a == 0)
        return Color(0, 0, 0, 0);
    const auto unpremultiply = [a](std::uint32_t c) { return static_cast<int>((c * 255 + a / 2) / a); };
    return Color(a, unpremultiply((pixel >> 16) & 0xFF), unpremultiply((pixel >> 8) & 0xFF),
                 unpremultiply(pixel & 0xFF));
}

bool Image::SetPixel(int x, int y, const Color& color)
{
    if (x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight())
        return false;
    cairo_surface_flush(surface_.get());
    const auto premultiply = [&color](int c) { return static_cast<std::uint32_t>((c * color.GetAlpha() + 127) / 255); };
    const std::uint32_t pixel = (static_cast<std::uint32_t>(color.GetAlpha()) << 24)
        | (premultiply(color.GetRed()) << 16) | (premultiply(color.GetGreen()) << 8) | premultiply(color.GetBlue());
    std::memcpy(cairo_image_surface_get_data(surface_.get())
                    + static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(surface_.get()) + 4 * x,
                &pixel, 4);
    cairo_surface_mark_dirty(surface_.get());
    return true;
}

} // namespace GdiplusGfxLayer
