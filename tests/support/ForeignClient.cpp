#include "support/ForeignClient.h"

#include <X11/Xlib.h>

ForeignClient::ForeignClient()
    : display_(XOpenDisplay(nullptr))
{
}

ForeignClient::~ForeignClient()
{
    if (display_)
        XCloseDisplay(display_);
}

unsigned long ForeignClient::VanishedWindow()
{
    const Window window = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 10, 10, 0, 0, 0);
    XDestroyWindow(display_, window);
    XSync(display_, False);
    return window;
}

void ForeignClient::SendDrag(unsigned long target, const std::string& message, unsigned long source)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = XInternAtom(display_, message.c_str(), False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(source);
    // Protocol version 5; on XdndEnter bit 0: more types than fit, listed on the source.
    if (message == "XdndEnter")
        event.xclient.data.l[1] = (5L << 24) | 1;
    if (message == "XdndPosition")
        event.xclient.data.l[4] = static_cast<long>(XInternAtom(display_, "XdndActionCopy", False));
    XSendEvent(display_, target, False, NoEventMask, &event);
    XSync(display_, False);
}

void ForeignClient::Destroy(unsigned long window)
{
    XDestroyWindow(display_, window);
    XSync(display_, False);
}
