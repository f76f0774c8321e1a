#include "framework/host/WindowSurface.h"

#include "framework/host/FramePresenter.h"

namespace GdiplusGfxLayer {

WindowSurface::WindowSurface(int width, int height)
    : backBuffer_(std::make_unique<Image>(width, height))
    , painter_(std::make_unique<Painter>(*backBuffer_))
{
}

namespace {

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
    auto backBuffer = std::make_unique<Image>(width, height);
    auto painter = std::make_unique<Painter>(*backBuffer);
    painter_ = std::move(painter);
    backBuffer_ = std::move(backBuffer);
}

std::optional<std::vector<Platform::Rect>> WindowSurface::CreateWindowRegion() const
{
    return Vabo::CreateRegionFromBitmap(backBuffer_->GetSurface(), 10, true);
}

} // namespace GdiplusGfxLayer
