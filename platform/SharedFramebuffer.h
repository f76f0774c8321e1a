#pragma once
// The pixels one window of ours shows, in memory it shares with the X server.
// A resize asks for a new size at every step: the memory is kept while the
// window fits in it (with room to grow by an eighth, as the back buffer), so
// a step neither makes, attaches and faults in a new segment nor waits for
// the server to let go of the old one, as SDL's window surface does.
#include "platform/Rect.h"

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct SDL_Window;

namespace Platform {

class SharedFramebuffer {
public:
    // Null, with the reason in why, when the window is not an X11 window, the
    // server has no shared memory or the window's pixels are not 24-bit colour
    // in 32-bit xRGB (the layout of SDL_PIXELFORMAT_RGB888). The memory comes
    // with the first Fit, which fails where the server cannot reach it (a
    // remote display).
    static std::unique_ptr<SharedFramebuffer> Create(SDL_Window* window, std::string& why);
    ~SharedFramebuffer();
    SharedFramebuffer(const SharedFramebuffer&) = delete;
    SharedFramebuffer& operator=(const SharedFramebuffer&) = delete;

    // Room for a window of that size; false (with the reason) when no shared
    // memory can be had. The pixels of a new segment are undefined.
    bool Fit(int width, int height, std::string& why);
    std::uint32_t* Row(int y) { return pixels_ + static_cast<std::ptrdiff_t>(y) * stride_; }
    int Stride() const { return stride_; } // pixels a row
    int Width() const { return width_; } // the room there is
    int Height() const { return height_; }

    // Shows the rectangles of the pixels at the same place in the window.
    // The server has read them when this returns.
    void Show(const std::vector<Rect>& rects);

private:
    SharedFramebuffer(Display* display, ::Window window, Visual* visual, int depth);
    bool Attach(int width, int height, std::string& why);
    void Detach();

    Display* display_;
    ::Window window_;
    Visual* visual_;
    int depth_;
    GC gc_ = nullptr;
    XShmSegmentInfo segment_{};
    XImage* image_ = nullptr;
    std::uint32_t* pixels_ = nullptr;
    int stride_ = 0;
    int width_ = 0;
    int height_ = 0;
};

} // namespace Platform
