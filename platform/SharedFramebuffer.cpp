#include "platform/SharedFramebuffer.h"

#include "platform/X11Handles.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>

#include <algorithm>

namespace Platform {
namespace {

// The most pixels a segment holds for each one of the window's.
constexpr double kMostPixelsPerPixel = 1.5;

// The server refuses memory it cannot reach (a display on another machine)
// with an error, not a reply.
bool attachRefused = false;

int NoteRefusal(Display*, XErrorEvent*)
{
    attachRefused = true;
    return 0;
}

// The segment is mapped where mmap has just made room for it. ThreadSanitizer
// follows memory mapped by mmap, but not by shmat and shmdt: a segment mapped
// where other memory lay before (another thread's, since unmapped out of its
// sight) would keep that memory's history, and the first frame written into
// it would read as a race with a thread long gone. Mapped by mmap first, the
// memory is new to it. Null when there is no room or no segment.
char* MapSegment(int shmid, std::size_t size)
{
    void* room = mmap(nullptr, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (room == MAP_FAILED)
        return nullptr;
    void* segment = shmat(shmid, room, SHM_REMAP);
    if (segment == reinterpret_cast<void*>(-1)) {
        munmap(room, size);
        return nullptr;
    }
    return static_cast<char*>(segment);
}

bool LittleEndian()
{
    const std::uint32_t one = 1;
    return *reinterpret_cast<const unsigned char*>(&one) == 1;
}

} // namespace

std::unique_ptr<SharedFramebuffer> SharedFramebuffer::Create(SDL_Window* window, std::string& why)
{
    Display* display = nullptr;
    ::Window handle = 0;
    if (!X11HandlesOf(window, display, handle, why))
        return nullptr;
    if (!XShmQueryExtension(display)) {
        why = "the X server has no shared-memory extension";
        return nullptr;
    }
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, handle, &attributes)) {
        why = "the window's attributes cannot be read";
        return nullptr;
    }
    const Visual* visual = attributes.visual;
    if (attributes.depth != 24 || visual->red_mask != 0xFF0000 || visual->green_mask != 0xFF00
        || visual->blue_mask != 0xFF) {
        why = "the window's pixels are not 24-bit colour in 32-bit xRGB";
        return nullptr;
    }
    return std::unique_ptr<SharedFramebuffer>(
        new SharedFramebuffer(display, handle, attributes.visual, attributes.depth));
}

SharedFramebuffer::SharedFramebuffer(Display* display, ::Window window, Visual* visual, int depth)
    : display_(display)
    , window_(window)
    , visual_(visual)
    , depth_(depth)
    , gc_(XCreateGC(display, window, 0, nullptr))
{
}

SharedFramebuffer::~SharedFramebuffer()
{
    Detach();
    XFreeGC(display_, gc_);
}

bool SharedFramebuffer::Fit(int width, int height, std::string& why)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    const double needed = static_cast<double>(width) * height;
    if (image_ && width <= width_ && height <= height_
        && static_cast<double>(width_) * height_ <= needed * kMostPixelsPerPixel)
        return true;
    Detach();
    return Attach(width + width / 8, height + height / 8, why);
}

bool SharedFramebuffer::Attach(int width, int height, std::string& why)
{
    XImage* image = XShmCreateImage(display_, visual_, depth_, ZPixmap, nullptr, &segment_, width, height);
    if (!image) {
        why = "no shared image";
        return false;
    }
    if (image->bits_per_pixel != 32 || image->byte_order != (LittleEndian() ? LSBFirst : MSBFirst)) {
        XDestroyImage(image);
        why = "the window's pixels are not 32-bit xRGB";
        return false;
    }
    const std::size_t size = static_cast<std::size_t>(image->bytes_per_line) * height;
    segment_.shmid = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (segment_.shmid < 0) {
        XDestroyImage(image);
        why = "no shared memory";
        return false;
    }
    segment_.shmaddr = MapSegment(segment_.shmid, size);
    if (!segment_.shmaddr) {
        shmctl(segment_.shmid, IPC_RMID, nullptr);
        XDestroyImage(image);
        why = "shared memory cannot be mapped";
        return false;
    }
    segment_.readOnly = True;
    attachRefused = false;
    XErrorHandler previous = XSetErrorHandler(NoteRefusal);
    XShmAttach(display_, &segment_);
    XSync(display_, False);
    XSetErrorHandler(previous);
    // The segment goes when both sides have let go of it.
    shmctl(segment_.shmid, IPC_RMID, nullptr);
    if (attachRefused) {
        shmdt(segment_.shmaddr);
        XDestroyImage(image);
        why = "the X server cannot reach our shared memory";
        return false;
    }
    image->data = segment_.shmaddr;
    image_ = image;
    pixels_ = reinterpret_cast<std::uint32_t*>(segment_.shmaddr);
    stride_ = image->bytes_per_line / 4;
    width_ = width;
    height_ = height;
    return true;
}

void SharedFramebuffer::Detach()
{
    if (!image_)
        return;
    XShmDetach(display_, &segment_);
    // The server may still read it until it has seen the detach.
    XSync(display_, False);
    shmdt(segment_.shmaddr);
    XDestroyImage(image_);
    image_ = nullptr;
    pixels_ = nullptr;
    width_ = height_ = stride_ = 0;
}

void SharedFramebuffer::Show(const std::vector<Rect>& rects)
{
    for (const Rect& r : rects)
        XShmPutImage(display_, window_, gc_, image_, r.x, r.y, r.x, r.y, static_cast<unsigned>(r.width),
                     static_cast<unsigned>(r.height), False);
    // The next frame is written into the same memory.
    XSync(display_, False);
}

} // namespace Platform
