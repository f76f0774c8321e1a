#include "platform/Video.h"

#include "platform/DisplayWatch.h"
#include "platform/Log.h"

#include <SDL.h>

#include <malloc.h>

#include <cstdlib>

namespace Platform {
namespace {

enum class State { NotTried, Started, Failed };

State& VideoState()
{
    static State state = State::NotTried;
    return state;
}

} // namespace

bool StartVideo()
{
    State& state = VideoState();
    if (state != State::NotTried)
        return state == State::Started;
    // X11 (XWayland on Wayland) unless the user chose a driver explicitly.
    if (!std::getenv("SDL_VIDEODRIVER"))
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    // SDL would turn Ctrl+C and the other ending signals into an event that
    // nothing here reads: a program that ends on them handles them itself
    // (QuitSignals.h).
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Our windows are always-on-top popups and borderless main windows; a
    // focus change must not minimise them.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // The first click into an inactive window is a click, as on the desktop
    // the program was designed for.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // A second click is a double click only within a 4x4 pixel box around the
    // first, as on that desktop: SDL's own 32 pixels would make a click on the
    // next title button a double click on it, and the button would not act.
    SDL_SetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_RADIUS, "2");
    // Frames are presented by rectangles: SDL's GPU-backed window surface would
    // copy the whole window every time, the X11 one copies only the rectangles.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Windows bring large pixel buffers (back buffers, window surfaces, scaled
    // pictures) that are made and freed again on every resize step. A fixed
    // threshold keeps each of them in its own mapping, given back when freed;
    // glibc's moving threshold would soon put them on the heap, where a
    // resized window leaves its old buffers behind as unreturned holes.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    // Drawing a frame takes a few hundred kB of short-lived heap (a stroked
    // trace alone about 200 kB of scan-conversion cells). With glibc's 128 kB
    // trim threshold every frame gave that memory back to the kernel and took
    // it again, cleared page by page: a free top of the heap is kept up to 1 MB.
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        Log(std::string("Platform::StartVideo - SDL video could not start: ") + SDL_GetError());
        state = State::Failed;
        return false;
    }
    SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
    SDL_StartTextInput();
    if (SDL_strcmp(SDL_GetCurrentVideoDriver(), "x11") == 0)
        DisplayWatch::Start();
    state = State::Started;
    return true;
}

bool IsVideoStarted()
{
    return VideoState() == State::Started;
}

std::string VideoError()
{
    return SDL_GetError();
}

} // namespace Platform
