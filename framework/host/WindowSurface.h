#pragma once
// The drawing side of one host window: its back buffer (a picture of the
// window's size) and the painter on it. Frames are composed here; the host
// window copies the back buffer to the screen in one step and takes the
// outline of a shaped window from it.
#include "framework/host/CreateRegionFromBitmap.h"
#include "framework/drawing/Image.h"
#include "framework/drawing/Painter.h"
#include "framework/drawing/Region.h"

#include <memory>
#include <optional>
#include <vector>

namespace Vabo {
class FramePresenter;
}

namespace GdiplusGfxLayer {

class WindowSurface {
public:
    // An off-screen surface of that size, with no window.
    WindowSurface(int width, int height);
    // The surface of a window (which must outlive it), at its client size.
    explicit WindowSurface(const Vabo::FramePresenter& window);

    // To the window's new size: the same size keeps the back buffer and the
    // painter (its opacity and clip); another makes both anew, the back
    // buffer transparent. A resize asks for a new size at every step, and
    // memory taken fresh costs more than drawing the frame (the kernel clears
    // every page): the back buffer takes its pixels from a buffer with room
    // to grow by an eighth, again and again while the window fits in it and
    // the buffer holds no more than half as many pixels again.
    void Resize(int width, int height);

    Painter& GetPainter() { return *painter_; }
    Image& GetBackBuffer() { return *backBuffer_; }
    int GetWidth() const { return backBuffer_->GetWidth(); }
    int GetHeight() const { return backBuffer_->GetHeight(); }
    // The window's client area as it is now, which may already differ from
    // the back buffer's; an off-screen surface answers its own size.
    int GetClientWidth() const;
    int GetClientHeight() const;

    void SetClip(const Region& region) { painter_->SetClip(region); }

    // The window's outline: the runs of back-buffer pixels with alpha 10 or more.
    std::optional<std::vector<Platform::Rect>> CreateWindowRegion() const;

private:
    // The memory the back buffer takes its pixels from: at least its size.
    std::unique_ptr<Image> pixels_;
    std::unique_ptr<Image> backBuffer_;
    std::unique_ptr<Painter> painter_;
    const Vabo::FramePresenter* window_ = nullptr;
};

} // namespace GdiplusGfxLayer
