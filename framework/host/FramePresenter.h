// Where a frame composed by a screen manager goes: the host window's screen.
// The host window implements it; headless tests record what it is given.
#pragma once

namespace GdiplusGfxLayer {
class Region;
class WindowSurface;
} // namespace GdiplusGfxLayer

namespace Vabo {

class FramePresenter {
public:
    virtual ~FramePresenter() = default;
    virtual void GetClientSize(int& width, int& height) const = 0;
    // Shows the region of the surface's back buffer.
    virtual void Present(GdiplusGfxLayer::WindowSurface& surface, const GdiplusGfxLayer::Region& region) = 0;
};

} // namespace Vabo
