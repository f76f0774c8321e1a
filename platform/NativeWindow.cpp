#include "platform/NativeWindow.h"

#include "platform/ChildWindow.h"
#include "platform/DisplayWatch.h"
#include "platform/FrameTrace.h"
#include "platform/Log.h"
#include "platform/PictureDecoder.h"
#include "platform/SharedFramebuffer.h"
#include "platform/Video.h"
#include "platform/WindowMapping.h"
#include "platform/WindowPlacement.h"
#include "platform/X11Handles.h"

#include <SDL.h>
#include <cairo.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace Platform {
namespace {

// A premultiplied ARGB pixel with its colour at full strength.
std::uint32_t Unpremultiplied(std::uint32_t argb)
{
    const std::uint32_t a = argb >> 24;
    if (a == 255 || a == 0)
        return argb;
    const auto straight = [a](std::uint32_t c) { return std::min<std::uint32_t>(255, (c * 255 + a / 2) / a); };
    return (a << 24) | (straight((argb >> 16) & 0xFF) << 16) | (straight((argb >> 8) & 0xFF) << 8)
        | straight(argb & 0xFF);
}

// A row of premultiplied pixels as straight ones. All but the edge of a
// shaped window is opaque: its runs are copied as they stand, a block at a
// time, and only the pixels of a block with some transparency are converted.
void UnpremultiplyRow(const std::uint32_t* from, std::uint32_t* to, int count)
{
    constexpr int Block = 16;
    int x = 0;
    for (; x + Block <= count; x += Block) {
        std::uint32_t alpha = 0xFF000000u;
        for (int i = 0; i < Block; ++i)
            alpha &= from[x + i];
        if (alpha == 0xFF000000u) {
            std::memcpy(to + x, from + x, Block * sizeof(std::uint32_t));
            continue;
        }
        for (int i = 0; i < Block; ++i)
            to[x + i] = Unpremultiplied(from[x + i]);
    }
    for (; x < count; ++x)
        to[x] = Unpremultiplied(from[x]);
}

// Tells the window manager to forget a window, mapped or not.
void Withdraw(SDL_Window* window)
{
    Display* display = nullptr;
    ::Window handle = 0;
    std::string why;
    if (!X11HandlesOf(window, display, handle, why)) {
        Log("Platform::NativeWindow - cannot withdraw a window: " + why);
        return;
    }
    if (!XWithdrawWindow(display, handle, DefaultScreen(display)))
        Log("Platform::NativeWindow - the window manager was not told to withdraw a window");
    XFlush(display);
}

} // namespace

std::unique_ptr<NativeWindow> NativeWindow::Create(const Options& options)
{
    if (!StartVideo()) {
        Log("Platform::NativeWindow - no video, no window \"" + options.title + "\"");
        return nullptr;
    }
    if (options.kind == Kind::Child && !options.parent) {
        Log("Platform::NativeWindow - a child window needs a parent window");
        return nullptr;
    }
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
    if (options.resizable)
        flags |= SDL_WINDOW_RESIZABLE;
    if (options.kind != Kind::Application)
        flags |= SDL_WINDOW_SKIP_TASKBAR;
    if (options.kind == Kind::Popup)
        flags |= SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_UTILITY;
    SDL_Window* window = SDL_CreateWindow(options.title.c_str(), options.x, options.y, std::max(1, options.width),
                                          std::max(1, options.height), flags);
    if (!window) {
        Log("Platform::NativeWindow - cannot create window \"" + options.title + "\": " + SDL_GetError());
        return nullptr;
    }
    if (options.kind == Kind::Child && !MakeChildWindow(window, options.parent->Handle(), options.x, options.y)) {
        SDL_DestroyWindow(window);
        return nullptr;
    }
    std::unique_ptr<NativeWindow> created(new NativeWindow(window, options.kind));
    Display* display = nullptr;
    std::string why;
    if (X11HandlesOf(window, display, created->xWindow_, why))
        DisplayWatch::Track(created->xWindow_, created->id_);
    if (options.kind == Kind::Child) {
        created->parent_ = options.parent;
        options.parent->children_.push_back(created.get());
    }
    return created;
}

NativeWindow::NativeWindow(SDL_Window* window, Kind kind)
    : window_(window)
    , id_(SDL_GetWindowID(window))
    , kind_(kind)
{
}

NativeWindow::~NativeWindow()
{
    for (NativeWindow* child : children_) {
        ReleaseChildWindow(child->window_);
        child->childShown_ = false;
        child->parent_ = nullptr;
    }
    if (parent_)
        parent_->children_.erase(std::find(parent_->children_.begin(), parent_->children_.end(), this));
    // Its memory is let go of while the X window is still there.
    framebuffer_.reset();
    if (xWindow_ != 0)
        DisplayWatch::Untrack(xWindow_);
    DestroyWithoutWaiting(window_);
}

bool NativeWindow::Gone() const
{
    return xWindow_ != 0 && DisplayWatch::Destroyed(xWindow_);
}

void NativeWindow::Show()
{
    if (Gone())
        return;
    if (kind_ == Kind::Child) {
        // Its parent gone, a child has nowhere to show.
        if (parent_) {
            ShowChildWindow(window_, true);
            childShown_ = true;
        }
        return;
    }
    ShowWithoutWaiting(window_);
}

void NativeWindow::Hide()
{
    raiseWhenMapped_ = false;
    focusWhenMapped_ = false;
    if (Gone())
        return;
    if (kind_ == Kind::Child) {
        ShowChildWindow(window_, false);
        childShown_ = false;
        return;
    }
    // A window the window manager took down with its owner (minimised along
    // with it) is unmapped but still managed, and SDL, counting it hidden,
    // would not touch it: the manager would map it again with the owner,
    // undrawn. Withdrawn, it stays down until it is shown.
    const Uint32 flags = SDL_GetWindowFlags(window_);
    if ((flags & SDL_WINDOW_SHOWN) == 0 && (flags & SDL_WINDOW_MINIMIZED) != 0) {
        Withdraw(window_);
        return;
    }
    HideWithoutWaiting(window_);
}

bool NativeWindow::IsVisible() const
{
    if (kind_ == Kind::Child)
        return childShown_;
    return (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN) != 0;
}

bool NativeWindow::IsMinimized() const
{
    return kind_ != Kind::Child && (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) != 0;
}

bool NativeWindow::IsMaximized() const
{
    return kind_ != Kind::Child && (SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED) != 0;
}

// A child window keeps its place and size in its parent.
void NativeWindow::Minimize()
{
    if (Gone())
        return;
    if (kind_ != Kind::Child)
        SDL_MinimizeWindow(window_);
}

void NativeWindow::Maximize()
{
    if (Gone())
        return;
    if (kind_ != Kind::Child)
        SDL_MaximizeWindow(window_);
}

void NativeWindow::Restore()
{
    if (Gone())
        return;
    if (kind_ != Kind::Child)
        RestoreWithoutWaiting(window_);
}

void NativeWindow::Raise()
{
    if (Gone())
        return;
    // Asked of a window whose map is still to come, neither the window
    // manager nor the X server would act on it: it is given at the map.
    raiseWhenMapped_ = IsVisible() && kind_ != Kind::Child && !IsMappedNow(window_);
    if (raiseWhenMapped_)
        return;
    SDL_RaiseWindow(window_);
    // Without a window manager raising gives no focus; asking the X server
    // for it does, on a window that is shown.
    if (IsVisible())
        SDL_SetWindowInputFocus(window_);
}

void NativeWindow::TakeInputFocus()
{
    if (Gone() || !IsVisible())
        return;
    focusWhenMapped_ = kind_ != Kind::Child && !IsMappedNow(window_);
    if (!focusWhenMapped_)
        SDL_SetWindowInputFocus(window_);
}

void NativeWindow::Exposed()
{
    if (!raiseWhenMapped_ && !focusWhenMapped_)
        return;
    const bool raise = raiseWhenMapped_;
    raiseWhenMapped_ = false;
    focusWhenMapped_ = false;
    if (raise)
        Raise();
    else
        TakeInputFocus();
}

bool NativeWindow::HasInputFocus() const
{
    return (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void NativeWindow::SetOwner(const NativeWindow& owner)
{
    if (SDL_SetWindowModalFor(window_, owner.window_) != 0)
        Log(std::string("Platform::NativeWindow - cannot tie window \"") + GetTitle() + "\" to its owner: "
            + SDL_GetError());
}

void NativeWindow::MoveTo(int x, int y)
{
    if (Gone())
        return;
    if (kind_ == Kind::Child) {
        MoveChildWindow(window_, x, y);
        return;
    }
    const Rect now = GetRect();
    Ask(Rect{x, y, now.width, now.height});
    AskMove(window_, x, y);
}

void NativeWindow::Resize(int width, int height)
{
    if (Gone())
        return;
    width = std::max({1, width, minWidth_});
    height = std::max({1, height, minHeight_});
    if (kind_ == Kind::Child) {
        SDL_SetWindowSize(window_, width, height);
        return;
    }
    const Rect now = GetRect();
    Ask(Rect{now.x, now.y, width, height});
    AskResize(window_, width, height);
}

void NativeWindow::SetMinimumSize(int width, int height)
{
    minWidth_ = std::max(1, width);
    minHeight_ = std::max(1, height);
    if (kind_ == Kind::Child) {
        SDL_SetWindowMinimumSize(window_, minWidth_, minHeight_);
        return;
    }
    if (Gone())
        return;
    AskMinimumSize(window_, minWidth_, minHeight_);
    const Rect now = GetRect();
    if (now.width < minWidth_ || now.height < minHeight_)
        Resize(now.width, now.height);
}

Rect NativeWindow::KnownRect() const
{
    Rect r;
    SDL_GetWindowPosition(window_, &r.x, &r.y);
    SDL_GetWindowSize(window_, &r.width, &r.height);
    return r;
}

void NativeWindow::Ask(const Rect& rect)
{
    if (!placementAsked_)
        knownWhenAsked_ = KnownRect();
    asked_ = rect;
    placementAsked_ = true;
}

Rect NativeWindow::GetRect() const
{
    // SDL keeps a child's place in its parent, not on the screen.
    if (kind_ == Kind::Child)
        return ChildWindowScreenRect(window_);
    // The server's news, once any came, says where the window manager put it.
    const Rect known = KnownRect();
    if (placementAsked_ && known == knownWhenAsked_)
        return asked_;
    placementAsked_ = false;
    return known;
}

void NativeWindow::SetTitle(const std::string& title)
{
    // SDL sends every title to the server, with a flush, even the one it has:
    // a title refreshed on a timer mostly is.
    if (title != GetTitle())
        SDL_SetWindowTitle(window_, title.c_str());
}

std::string NativeWindow::GetTitle() const
{
    return SDL_GetWindowTitle(window_);
}

bool NativeWindow::SetIcon(const std::string& fileName)
{
    // A skin names the icon: it is read as every picture is, within the same
    // limits, and handed to SDL with straight alpha.
    std::string error;
    const CairoSurfacePtr picture = DecodePicture(fileName, error);
    if (!picture) {
        Log("Platform::NativeWindow - cannot read icon file " + fileName + ": " + error);
        return false;
    }
    const int width = cairo_image_surface_get_width(picture.get());
    const int height = cairo_image_surface_get_height(picture.get());
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!icon) {
        Log("Platform::NativeWindow - no surface for icon file " + fileName + ": " + SDL_GetError());
        return false;
    }
    const unsigned char* source = cairo_image_surface_get_data(picture.get());
    const int stride = cairo_image_surface_get_stride(picture.get());
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(source + static_cast<std::ptrdiff_t>(y) * stride);
        auto* out = reinterpret_cast<std::uint32_t*>(static_cast<unsigned char*>(icon->pixels)
                                                     + static_cast<std::ptrdiff_t>(y) * icon->pitch);
        for (int x = 0; x < width; ++x)
            out[x] = Unpremultiplied(row[x]);
    }
    SDL_SetWindowIcon(window_, icon);
    SDL_FreeSurface(icon);
    return true;
}

bool NativeWindow::Present(cairo_surface_t* backBuffer, const std::vector<Rect>& rects)
{
    if (Gone())
        return false;
    cairo_surface_flush(backBuffer);
    const int sourceWidth = cairo_image_surface_get_width(backBuffer);
    const int sourceHeight = cairo_image_surface_get_height(backBuffer);
    const int sourceStride = cairo_image_surface_get_stride(backBuffer);
    const unsigned char* source = cairo_image_surface_get_data(backBuffer);
    if (!source)
        return false;

    // Memory shared with the X server where it can be had, SDL's window
    // surface where not (a remote display).
    if (!framebufferTried_) {
        framebufferTried_ = true;
        std::string why;
        framebuffer_ = SharedFramebuffer::Create(window_, why);
        if (!framebuffer_)
            Log("Platform::NativeWindow - frames go through SDL's window surface: " + why);
    }
    unsigned char* pixels = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
    Uint32 format = SDL_PIXELFORMAT_RGB888;
    SDL_Surface* target = nullptr;
    if (framebuffer_) {
        // The size asked for: the server's news of it may still be coming.
        const Rect size = GetRect();
        width = size.width;
        height = size.height;
        std::string why;
        if (!framebuffer_->Fit(width, height, why)) {
            Log("Platform::NativeWindow - frames go through SDL's window surface: " + why);
            framebuffer_.reset();
        } else {
            pixels = reinterpret_cast<unsigned char*>(framebuffer_->Row(0));
            pitch = framebuffer_->Stride() * 4;
        }
    }
    if (!framebuffer_) {
        target = SDL_GetWindowSurface(window_);
        if (!target) {
            Log(std::string("Platform::NativeWindow - no window surface to present to: ") + SDL_GetError());
            return false;
        }
        pixels = static_cast<unsigned char*>(target->pixels);
        pitch = target->pitch;
        width = target->w;
        height = target->h;
        format = target->format->format;
    }

    std::vector<Rect> shown;
    // The window's own pixels in the buffer's layout (alpha, if any, unused):
    // the straight colours are written in place, with no copy between.
    const bool sameLayout = format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888;
    if (target && SDL_MUSTLOCK(target))
        SDL_LockSurface(target);
    const int bytesPerPixel = SDL_BYTESPERPIXEL(format);
    for (const Rect& r : rects) {
        const int left = std::max(0, r.x);
        const int top = std::max(0, r.y);
        const int right = std::min({r.Right(), sourceWidth, width});
        const int bottom = std::min({r.Bottom(), sourceHeight, height});
        if (right <= left || bottom <= top)
            continue;
        auto* to = pixels + top * pitch + left * bytesPerPixel;
        // Cairo's ARGB32 is premultiplied, so dropping alpha shows the
        // buffer composed over black.
        const unsigned char* from = source + top * sourceStride + left * 4;
        int fromStride = sourceStride;
        if (shaped_ && sameLayout) {
            for (int y = top; y < bottom; ++y)
                UnpremultiplyRow(reinterpret_cast<const std::uint32_t*>(source + y * sourceStride) + left,
                                 reinterpret_cast<std::uint32_t*>(to + (y - top) * pitch), right - left);
            shown.push_back(Rect{left, top, right - left, bottom - top});
            continue;
        }
        if (shaped_) {
            straight_.resize(static_cast<std::size_t>(right - left) * (bottom - top));
            for (int y = top; y < bottom; ++y)
                UnpremultiplyRow(reinterpret_cast<const std::uint32_t*>(source + y * sourceStride) + left,
                                 straight_.data() + static_cast<std::size_t>(y - top) * (right - left), right - left);
            from = reinterpret_cast<const unsigned char*>(straight_.data());
            fromStride = (right - left) * 4;
        }
        SDL_ConvertPixels(right - left, bottom - top, SDL_PIXELFORMAT_ARGB8888, from, fromStride, format, to, pitch);
        shown.push_back(Rect{left, top, right - left, bottom - top});
    }
    if (target && SDL_MUSTLOCK(target))
        SDL_UnlockSurface(target);
    if (shown.empty())
        return true;
    if (framebuffer_) {
        framebuffer_->Show(shown);
    } else {
        std::vector<SDL_Rect> sdlRects;
        for (const Rect& r : shown)
            sdlRects.push_back(SDL_Rect{r.x, r.y, r.width, r.height});
        if (SDL_UpdateWindowSurfaceRects(window_, sdlRects.data(), int(sdlRects.size())) != 0) {
            Log(std::string("Platform::NativeWindow - presenting failed: ") + SDL_GetError());
            return false;
        }
    }
    if (FrameTraceOn())
        FrameTrace("presented " + std::to_string(Id()));
    return true;
}

} // namespace Platform
