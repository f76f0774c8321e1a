#include "support/WindowProbe.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <set>

namespace {

using Clock = std::chrono::steady_clock;

// Windows come and go under the probe's requests.
int PassOver(Display*, XErrorEvent*)
{
    return 0;
}

} // namespace

struct WindowProbe::Figures {
    int answers = 0;
    double longest = 0;
    // Ping number to the window pinged and when.
    std::map<long, std::pair<Window, Clock::time_point>> pending;
};

WindowProbe::WindowProbe(const std::string& title, Moment moment)
    : title_(title)
    , moment_(moment)
    , figures_(new Figures)
{
    XSetErrorHandler(PassOver);
    thread_ = std::thread([this] { Run(); });
    // The root is watched before the constructor returns: no window created
    // after it is missed.
    while (!connected_ && !ended_)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

WindowProbe::~WindowProbe()
{
    stop_ = true;
    thread_.join();
    delete figures_;
}

int WindowProbe::Answers() const
{
    const std::lock_guard<std::mutex> hold(lock_);
    return figures_->answers;
}

double WindowProbe::LongestWait() const
{
    const std::lock_guard<std::mutex> hold(lock_);
    double longest = figures_->longest;
    for (const auto& ping : figures_->pending)
        longest = std::max(longest, std::chrono::duration<double>(Clock::now() - ping.second.second).count());
    return longest;
}

void WindowProbe::Run()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        ended_ = true;
        return;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    int damageEvents = 0;
    int damageErrors = 0;
    const bool damage = XDamageQueryExtension(display, &damageEvents, &damageErrors);
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    XSync(display, False);
    connected_ = true;

    std::set<Window> candidates; // created, owner not known yet
    std::set<Window> ours; // the program's, standing
    std::set<Window> untitled; // of the program's, those with no title
    bool armed = false;
    Window target = 0;
    long pings = 0;
    auto nextPing = Clock::now();

    const auto destroyTarget = [&] {
        XDestroyWindow(display, target);
        XFlush(display);
        destroyed_ = true;
    };
    const auto forget = [&](Window window) {
        candidates.erase(window);
        ours.erase(window);
        const std::lock_guard<std::mutex> hold(lock_);
        for (auto it = figures_->pending.begin(); it != figures_->pending.end();)
            it = it->second.first == window ? figures_->pending.erase(it) : std::next(it);
    };
    // Whether a created window is the program's, and whether it is the target.
    const auto look = [&](Window window) {
        if (!candidates.count(window) || pid_ == 0)
            return;
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                               &data) != Success
            || !data)
            return;
        const long pid = count == 1 ? *reinterpret_cast<long*>(data) : 0;
        XFree(data);
        if (pid != pid_) {
            candidates.erase(window);
            return;
        }
        char* name = nullptr;
        if (!XFetchName(display, window, &name) || !name)
            return;
        const std::string title = name;
        XFree(name);
        candidates.erase(window);
        ours.insert(window);
        if (title.empty()) {
            untitled.insert(window);
            if (armed && moment_ == Moment::FirstFrame && damage)
                XDamageCreate(display, window, XDamageReportNonEmpty);
        }
        if (target != 0 || title != title_ || title_.empty())
            return;
        target = window;
        seen_ = true;
        if (moment_ == Moment::Creation)
            destroyTarget();
        else if (moment_ == Moment::FirstFrame && damage)
            XDamageCreate(display, target, XDamageReportNonEmpty);
    };

    while (!stop_) {
        if (armed_ && !armed) {
            armed = true;
            seen_ = title_.empty() && !untitled.empty();
            if (moment_ == Moment::FirstFrame && damage && title_.empty())
                for (Window window : untitled)
                    XDamageCreate(display, window, XDamageReportNonEmpty);
        }
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        if (!XPending(display))
            poll(&fd, 1, 10);
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == CreateNotify && event.xcreatewindow.parent == root) {
                candidates.insert(event.xcreatewindow.window);
                XSelectInput(display, event.xcreatewindow.window, PropertyChangeMask | StructureNotifyMask);
                look(event.xcreatewindow.window);
            } else if (event.type == PropertyNotify) {
                look(event.xproperty.window);
            } else if (event.type == DestroyNotify) {
                forget(event.xdestroywindow.window);
            } else if (event.type == MapNotify && moment_ == Moment::Map && !destroyed_
                       && (event.xmap.window == target || (armed && untitled.count(event.xmap.window)))) {
                target = event.xmap.window;
                destroyTarget();
            } else if (damage && event.type == damageEvents + XDamageNotify && !destroyed_) {
                target = reinterpret_cast<XDamageNotifyEvent*>(&event)->drawable;
                destroyTarget();
            } else if (event.type == ClientMessage && event.xclient.message_type == protocols
                       && Atom(event.xclient.data.l[0]) == ping) {
                const std::lock_guard<std::mutex> hold(lock_);
                const auto sent = figures_->pending.find(event.xclient.data.l[1]);
                if (sent != figures_->pending.end()) {
                    ++figures_->answers;
                    figures_->longest = std::max(
                        figures_->longest, std::chrono::duration<double>(Clock::now() - sent->second.second).count());
                    figures_->pending.erase(sent);
                }
            }
        }
        if (Clock::now() < nextPing)
            continue;
        nextPing = Clock::now() + std::chrono::milliseconds(100);
        // Those created before the process was named.
        for (Window window : std::set<Window>(candidates))
            look(window);
        for (Window window : ours) {
            XEvent message{};
            message.xclient.type = ClientMessage;
            message.xclient.window = window;
            message.xclient.message_type = protocols;
            message.xclient.format = 32;
            message.xclient.data.l[0] = long(ping);
            message.xclient.data.l[1] = ++pings;
            message.xclient.data.l[2] = long(window);
            {
                const std::lock_guard<std::mutex> hold(lock_);
                figures_->pending[pings] = {window, Clock::now()};
            }
            XSendEvent(display, window, False, NoEventMask, &message);
        }
        XFlush(display);
    }
    XCloseDisplay(display);
}
