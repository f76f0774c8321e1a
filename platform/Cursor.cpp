#include "platform/Cursor.h"

#include "platform/Log.h"

#include <SDL.h>

namespace Platform {

void SetCursorShape(CursorShape shape)
{
    static SDL_Cursor* cursors[3] = {nullptr, nullptr, nullptr};
    static const SDL_SystemCursor ids[3] = {SDL_SYSTEM_CURSOR_ARROW, SDL_SYSTEM_CURSOR_SIZENWSE,
                                            SDL_SYSTEM_CURSOR_SIZENS};
    const int index = static_cast<int>(shape);
    if (!cursors[index]) {
        cursors[index] = SDL_CreateSystemCursor(ids[index]);
        if (!cursors[index]) {
            Log(std::string("Platform::SetCursorShape - no system cursor: ") + SDL_GetError());
            return;
        }
    }
    SDL_SetCursor(cursors[index]);
}

} // namespace Platform
