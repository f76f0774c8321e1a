#include "platform/Clipboard.h"

#include "platform/Log.h"
#include "platform/Video.h"

#include <SDL.h>

namespace Platform {

bool GetClipboardText(std::string& text)
{
    if (!StartVideo() || !SDL_HasClipboardText())
        return false;
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
    if (SDL_SetClipboardText(text.c_str()) != 0)
        Log(std::string("Platform::SetClipboardText - ") + SDL_GetError());
}

} // namespace Platform
