#include "support/SdlEvents.h"

namespace TestSupport {

void PushClick(std::uint32_t windowId, int x, int y)
{
    for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
        SDL_Event e;
        SDL_zero(e);
        e.type = type;
        e.button.windowID = windowId;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.clicks = 1;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
    }
}

void PushMotion(std::uint32_t windowId, int x, int y)
{
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = windowId;
    e.motion.x = x;
    e.motion.y = y;
    SDL_PushEvent(&e);
}

void PushKey(std::uint32_t windowId, SDL_Keycode key, Uint16 modifiers)
{
    for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
        SDL_Event e;
        SDL_zero(e);
        e.type = type;
        e.key.windowID = windowId;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = key;
        e.key.keysym.mod = modifiers;
        SDL_PushEvent(&e);
    }
}

void PushText(std::uint32_t windowId, const std::string& text)
{
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_TEXTINPUT;
    e.text.windowID = windowId;
    SDL_strlcpy(e.text.text, text.c_str(), sizeof(e.text.text));
    SDL_PushEvent(&e);
}

} // namespace TestSupport
