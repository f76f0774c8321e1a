#include "platform/Video.h"

#include "platform/DisplayWatch.h"
#include "platform/EventTranslation.h"
#include "platform/HeldBackErrors.h"
#include "platform/Log.h"

#include <SDL.h>
#include <X11/Xlib.h>

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace Platform {
namespace {

enum class State { NotTried, Started, Failed };

State& VideoState()
{
    static State state = State::NotTried;
    return state;
}

// Why video could not start, once it could not.
std::string& Failure()
{
    static std::string failure;
    return failure;
}

// The X library's words, which end in line breaks, inside a message.
std::string OneLine(const std::string& text)
{
    std::string line;
    for (char c : text) {
        const bool blank = c == '\n' || c == '\r' || c == ' ';
        if (!blank || (!line.empty() && line.back() != ' '))
            line += blank ? ' ' : c;
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

// What stderr holds back while the display is first opened, and the
// display watch's handler of a lost connection then.
HeldBackErrors* heldBack = nullptr;
XIOErrorHandler watching = nullptr;

// The connection lost after the server let us in, while the X library still
// asks it for its defaults: the display watch says so on stderr, which must
// be given back first.
int LostWhileOpening(Display* display)
{
    if (heldBack)
        heldBack->Release();
    return watching(display);
}

// Why a display that let us in said nothing: the X library opens a screen
// that its server does not have as silently as a server that is not there.
std::string Silence()
{
    const char* set = std::getenv("DISPLAY");
    const std::string name = set ? set : "";
    const auto colon = name.rfind(':');
    const auto dot = colon == std::string::npos ? std::string::npos : name.find('.', colon);
    const std::string screen = dot == std::string::npos ? "" : name.substr(dot + 1);
    if (screen.empty() || screen.find_first_not_of("0123456789") != std::string::npos)
        return "no X server answers there";
    Display* display = XOpenDisplay(name.substr(0, dot).c_str());
    if (!display)
        return "no X server answers there";
    const int screens = ScreenCount(display);
    XCloseDisplay(display);
    return "the X server there has no screen " + screen + "; "
        + (screens == 1 ? std::string("its only screen is 0") : "its screens are 0 to " + std::to_string(screens - 1));
}

// Whether the display that $DISPLAY names lets us in; why not, when not. SDL
// would say only that X11 is not available: a server that refuses the client
// says why only on stderr, through the X library, so it is held back here
// and kept for the message.
bool DisplayOpens(std::string& why)
{
    HeldBackErrors errors;
    heldBack = &errors;
    watching = XSetIOErrorHandler(LostWhileOpening);
    Display* display = XOpenDisplay(nullptr);
    XSetIOErrorHandler(watching);
    heldBack = nullptr;
    const std::string said = errors.Release();
    if (!display) {
        why = said.empty() ? Silence() : OneLine(said);
        return false;
    }
    std::fputs(said.c_str(), stderr);
    XCloseDisplay(display);
    return true;
}

} // namespace

bool StartVideo()
{
    State& state = VideoState();
    if (state != State::NotTried)
        return state == State::Started;
    // X11 (XWayland on Wayland) unless the user chose a driver explicitly.
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (!driver)
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    if (!driver || std::strcmp(driver, "x11") == 0) {
        // A display lost once it let us in, while it is first opened or SDL
        // starts on it, is a loss like any later one.
        DisplayWatch::WatchConnection();
        if (!DisplayOpens(Failure())) {
            Log("Platform::StartVideo - the display cannot be opened: " + Failure());
            state = State::Failed;
            return false;
        }
    }
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
    // Translation knows the same box and time (EventTranslation.h).
    SDL_SetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_RADIUS, std::to_string(kDoubleClickRadius).c_str());
    SDL_SetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_TIME, std::to_string(kDoubleClickMs).c_str());
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
        Failure() = SDL_GetError();
        Log("Platform::StartVideo - SDL video could not start: " + Failure());
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
    return VideoState() == State::Failed ? Failure() : SDL_GetError();
}

} // namespace Platform
