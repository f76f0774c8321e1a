#include "framework/host/WindowSurface.h"

namespace GdiplusGfxLayer {

WindowSurface::WindowSurface(int width, int height)
    : backBuffer_(std::make_unique<Image>(width, height))
    , painter_(std::make_unique<Painter>(*backBuffer_))
{
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
