#include "platform/Clipboard.h"

#include "platform/Log.h"
#include "platform/Video.h"

#include <SDL.h>
#include <X11/Xlib.h>

namespace Platform {
namespace {

// SDL answers "no text" for an empty clipboard text. An empty text this
// process set is told apart by the window that took the clipboard for it:
// while that window still owns the clipboard, the text is "".
::Window& EmptyTextOwner()
{
    static ::Window owner = None;
    return owner;
}

::Window ClipboardOwner()
{
    // A connection of our own: SDL does not lend out its display.
    static Display* display = XOpenDisplay(nullptr);
    if (!display)
        return None;
    return XGetSelectionOwner(display, XInternAtom(display, "CLIPBOARD", False));
}

} // namespace

bool GetClipboardText(std::string& text)
{
    if (!StartVideo())
        return false;
    if (!SDL_HasClipboardText()) {
        if (EmptyTextOwner() == None || ClipboardOwner() != EmptyTextOwner())
            return false;
        text.clear();
        return true;
    }
    char* data = SDL_GetClipboardText();
    if (!data)
        return false;
    text = data;
    SDL_free(data);
    return true;
}

void SetClipboardText(const std::string& text)
{
    if (!StartVideo()) {
        Log("Platform::SetClipboardText - no video, the clipboard is unchanged");
        return;
    }
    EmptyTextOwner() = None;
    if (SDL_SetClipboardText(text.c_str()) != 0) {
        Log(std::string("Platform::SetClipboardText - ") + SDL_GetError());
        return;
    }
    // SDL's own query flushes its connection, so the owner it set is seen on ours.
    if (text.c_str()[0] == '\0' && !SDL_HasClipboardText())
        EmptyTextOwner() = ClipboardOwner();
}

} // namespace Platform
