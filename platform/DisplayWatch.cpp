#include "platform/DisplayWatch.h"

#include "platform/Log.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <xcb/xcb.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <unistd.h>

namespace Platform {
namespace {

struct Watched {
    DisplayWatch::LossCall loss;
    // X window to SDL's id, of the windows of ours that stand.
    std::map<unsigned long, std::uint32_t> windows;
    std::set<unsigned long> destroyed;
    std::vector<std::uint32_t> news;
    std::set<unsigned long> reported;
};

// Never destroyed: Xlib may report a loss while the process ends.
Watched& State()
{
    static Watched* state = new Watched;
    return *state;
}

[[noreturn]] void EndProcess(const std::string& why)
{
    // A call that fails the same way again must not come back here.
    static bool ending = false;
    if (!ending) {
        ending = true;
        Log("Platform::DisplayWatch - " + why);
        if (const DisplayWatch::LossCall& loss = State().loss) {
            try {
                loss(why);
            } catch (...) {
                std::fputs("the last call before the end failed\n", stderr);
            }
        } else {
            std::fprintf(stderr, "%s\n", why.c_str());
        }
    }
    std::fflush(nullptr);
    _exit(1);
}

// Whether the X server still lets clients in on the display, asked on a
// connection of its own through XCB, which calls none of the X library's
// handlers. A server that does not answer within a second is taken for gone.
bool ServerStillRuns(const std::string& name)
{
    struct Answer {
        std::mutex lock;
        std::condition_variable given;
        bool answered = false;
        bool runs = false;
    };
    const auto answer = std::make_shared<Answer>();
    // Left behind, not joined, when the server holds it: the process ends.
    std::thread([answer, name] {
        xcb_connection_t* connection = xcb_connect(name.c_str(), nullptr);
        const bool runs = xcb_connection_has_error(connection) == 0;
        xcb_disconnect(connection);
        const std::lock_guard<std::mutex> hold(answer->lock);
        answer->answered = true;
        answer->runs = runs;
        answer->given.notify_all();
    }).detach();
    std::unique_lock<std::mutex> hold(answer->lock);
    return answer->given.wait_for(hold, std::chrono::seconds(1), [&] { return answer->answered; }) && answer->runs;
}

int ConnectionLost(Display* display)
{
    // A server that goes on running closed our connection itself, as it does
    // when another client kills us (xkill).
    if (ServerStillRuns(DisplayString(display)))
        EndProcess("the X server closed our connection to the display (another client, such as xkill, may "
                   "have killed it)");
    EndProcess("the display went away (the connection to the X server was lost)");
}

// Hands on the news of a window of ours that is gone, once.
void NoteGone(Watched& state, unsigned long xWindow)
{
    const auto window = state.windows.find(xWindow);
    if (window != state.windows.end() && state.destroyed.insert(xWindow).second)
        state.news.push_back(window->second);
}

int RequestFailed(Display* display, XErrorEvent* error)
{
    Watched& state = State();
    const unsigned long resource = error->resourceid;
    const bool ours = state.windows.count(resource) != 0 || state.destroyed.count(resource) != 0;
    if (ours && (error->error_code == BadWindow || error->error_code == BadDrawable)) {
        // The refusal says as much as the news of its destruction, which can
        // miss us (a window destroyed before our wish for that news, still
        // in our output queue, reached the server).
        NoteGone(state, resource);
        // Until the loop hands on the news, requests for the window go on.
        if (state.reported.insert(resource).second)
            Log("Platform::DisplayWatch - window " + std::to_string(resource)
                + " is gone: another client destroyed it");
        return 0;
    }
    char text[256] = "";
    XGetErrorText(display, error->error_code, text, sizeof text);
    const std::string refused = "the X server refused a request (" + std::string(text) + ", request "
        + std::to_string(int(error->request_code)) + "." + std::to_string(int(error->minor_code)) + ")";
    // A server out of memory made none of what was asked: a window SDL then
    // waits for to be shown never comes, and the session cannot go on.
    if (error->error_code == BadAlloc)
        EndProcess("the display went away (" + refused + ")");
    // Anything else fails one request and no more: a drag whose source
    // window closed, a window of ours whose destruction the loop has not seen
    // yet (its graphics context and pictures fail after it). The resource is
    // left out, so a request refused again is counted, not written again.
    Log("Platform::DisplayWatch - " + refused + "; passed over");
    return 0;
}

// Sees every X event before SDL queues it as a window-system event, which
// nothing else reads: each is dropped here.
int NoteDestroyed(void*, SDL_Event* event)
{
    if (event->type != SDL_SYSWMEVENT)
        return 1;
    const SDL_SysWMmsg* message = event->syswm.msg;
    if (message && message->subsystem == SDL_SYSWM_X11 && message->msg.x11.event.type == DestroyNotify)
        NoteGone(State(), message->msg.x11.event.xdestroywindow.window);
    return 0;
}

} // namespace

void DisplayWatch::Start()
{
    WatchConnection();
    SDL_SetEventFilter(NoteDestroyed, nullptr);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

void DisplayWatch::WatchConnection()
{
    XSetIOErrorHandler(ConnectionLost);
    XSetErrorHandler(RequestFailed);
}

void DisplayWatch::OnLoss(LossCall call)
{
    State().loss = std::move(call);
}

void DisplayWatch::Track(unsigned long xWindow, std::uint32_t windowId)
{
    Watched& state = State();
    state.windows[xWindow] = windowId;
    // The server may hand out the number of a destroyed window again.
    state.destroyed.erase(xWindow);
    state.reported.erase(xWindow);
}

void DisplayWatch::Untrack(unsigned long xWindow)
{
    State().windows.erase(xWindow);
}

bool DisplayWatch::Destroyed(unsigned long xWindow)
{
    return State().destroyed.count(xWindow) != 0;
}

std::vector<std::uint32_t> DisplayWatch::TakeDestroyed()
{
    std::vector<std::uint32_t> news;
    news.swap(State().news);
    return news;
}

} // namespace Platform
