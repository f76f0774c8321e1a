#include "framework/host/WindowSurface.h"

#include "framework/host/FramePresenter.h"

#include <algorithm>
#include <cstring>

namespace GdiplusGfxLayer {

WindowSurface::WindowSurface(int width, int height)
    : pixels_(std::make_unique<Image>(width, height))
    , backBuffer_(std::make_unique<Image>(*pixels_, width, height))
    , painter_(std::make_unique<Painter>(*backBuffer_))
{
}

namespace {

// The most pixels a buffer holds for each one of the window's.
constexpr double kMostPixelsPerPixel = 1.5;

int ClientWidth(const Vabo::FramePresenter& window)
{
    int width = 0;
    int height = 0;
    window.GetClientSize(width, height);
    return width;
}

int ClientHeight(const Vabo::FramePresenter& window)
{
    int width = 0;
    int height = 0;
    window.GetClientSize(width, height);
    return height;
}

} // namespace

WindowSurface::WindowSurface(const Vabo::FramePresenter& window)
    : WindowSurface(ClientWidth(window), ClientHeight(window))
{
    window_ = &window;
}

int WindowSurface::GetClientWidth() const
{
    return window_ ? ClientWidth(*window_) : GetWidth();
}

int WindowSurface::GetClientHeight() const
{
    return window_ ? ClientHeight(*window_) : GetHeight();
}

void WindowSurface::Resize(int width, int height)
{
    if (width == GetWidth() && height == GetHeight())
        return;
    const double needed = static_cast<double>(std::max(width, 1)) * std::max(height, 1);
    const bool fits = width <= pixels_->GetWidth() && height <= pixels_->GetHeight()
        && static_cast<double>(pixels_->GetWidth()) * pixels_->GetHeight() <= needed * kMostPixelsPerPixel;
    if (fits) {
        // Transparent, as a new buffer is.
        cairo_surface_t* pixels = pixels_->GetSurface();
        cairo_surface_flush(pixels);
        unsigned char* data = cairo_image_surface_get_data(pixels);
        const int stride = cairo_image_surface_get_stride(pixels);
        for (int y = 0; y < height; ++y)
            std::memset(data + static_cast<std::ptrdiff_t>(y) * stride, 0, static_cast<std::size_t>(width) * 4);
        cairo_surface_mark_dirty(pixels);
    } else {
        pixels_ = std::make_unique<Image>(width + width / 8, height + height / 8);
    }
    auto backBuffer = std::make_unique<Image>(*pixels_, width, height);
    auto painter = std::make_unique<Painter>(*backBuffer);
    painter_ = std::move(painter);
    backBuffer_ = std::move(backBuffer);
}

std::optional<std::vector<Platform::Rect>> WindowSurface::CreateWindowRegion() const
{
    return Vabo::CreateRegionFromBitmap(backBuffer_->GetSurface(), 10, true);
}

} // namespace GdiplusGfxLayer
