#include "platform/EventTranslation.h"

#include <cmath>
#include <cstdlib>
#include <utility>

namespace Platform {
namespace {

using Kind = HostInput::Kind;

HostInput Make(Kind kind, std::uint32_t windowId)
{
    HostInput input;
    input.kind = kind;
    input.windowId = windowId;
    return input;
}

HostInput Key(std::uint32_t windowId, std::uint32_t code)
{
    HostInput input = Make(Kind::KeyPress, windowId);
    input.keyCode = code;
    return input;
}

HostInput AtPoint(Kind kind, std::uint32_t windowId, int x, int y)
{
    HostInput input = Make(kind, windowId);
    input.x = x;
    input.y = y;
    return input;
}

// The virtual-key code a key also arrives as, 0 for keys that arrive only as characters.
std::uint32_t VirtualKeyOf(SDL_Keycode sym)
{
    switch (sym) {
    case SDLK_BACKSPACE:
        return VirtualKey::Back;
    case SDLK_END:
        return VirtualKey::End;
    case SDLK_HOME:
        return VirtualKey::Home;
    case SDLK_LEFT:
        return VirtualKey::Left;
    case SDLK_UP:
        return VirtualKey::Up;
    case SDLK_RIGHT:
        return VirtualKey::Right;
    case SDLK_DOWN:
        return VirtualKey::Down;
    case SDLK_DELETE:
        return VirtualKey::Delete;
    default:
        return 0;
    }
}

// The control character a key press types, 0 for none. Ctrl with Alt is
// AltGr on many layouts and types real text, which SDL reports itself.
std::uint32_t ControlCharacterOf(SDL_Keycode sym, Uint16 mod)
{
    switch (sym) {
    case SDLK_BACKSPACE:
        return 8;
    case SDLK_TAB:
        return 9;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return 13;
    case SDLK_ESCAPE:
        return 27;
    default:
        break;
    }
    const bool ctrl = (mod & KMOD_CTRL) != 0;
    const bool alt = (mod & KMOD_ALT) != 0;
    if (ctrl && !alt && sym >= SDLK_a && sym <= SDLK_z)
        return std::uint32_t(sym - SDLK_a + 1);
    return 0;
}

void TranslateKey(const SDL_KeyboardEvent& key, std::vector<HostInput>& out)
{
    if (key.keysym.sym == SDLK_TAB && (key.keysym.mod & KMOD_SHIFT) != 0) {
        out.push_back(Key(key.windowID, VirtualKey::BackTab | kVirtualKeyFlag));
        return;
    }
    if (std::uint32_t vk = VirtualKeyOf(key.keysym.sym))
        out.push_back(Key(key.windowID, vk | kVirtualKeyFlag));
    if (std::uint32_t ch = ControlCharacterOf(key.keysym.sym, key.keysym.mod))
        out.push_back(Key(key.windowID, ch));
}

// A press at the point of the press before it, within the double-click time,
// in another window than that one while that one shows no more, is the
// second press of a double click whose first closed the window under the
// pointer (a list closed by the click on its entry, a box closed by its
// button): it belongs to that click and acts on nothing, and neither does its
// release. SDL counts clicks by window coordinates only, so it may take it
// for a first click or for a double click on the window uncovered.
void TranslateButton(const SDL_MouseButtonEvent& button, bool down, int originX, int originY, TranslationState& state,
                     std::vector<HostInput>& out)
{
    const bool left = button.button == SDL_BUTTON_LEFT;
    if (!left && button.button != SDL_BUTTON_RIGHT)
        return;
    TranslationState::Press& last = left ? state.left : state.right;
    Kind kind;
    if (!down) {
        if (std::exchange(last.releaseDropped, false))
            return;
        kind = left ? Kind::LeftButtonUp : Kind::RightButtonUp;
    } else {
        const int x = originX + button.x;
        const int y = originY + button.y;
        const bool closing = last.window != 0 && last.window != button.windowID
            && button.timestamp - last.time <= Uint32(kDoubleClickMs) && std::abs(x - last.x) <= kDoubleClickRadius
            && std::abs(y - last.y) <= kDoubleClickRadius && !(state.shows && state.shows(last.window));
        last = TranslationState::Press{button.windowID, x, y, button.timestamp, closing};
        if (closing)
            return;
        kind = button.clicks >= 2 && button.clicks % 2 == 0 ? (left ? Kind::LeftButtonDblClk : Kind::RightButtonDblClk)
                                                            : (left ? Kind::LeftButtonDown : Kind::RightButtonDown);
    }
    out.push_back(AtPoint(kind, button.windowID, button.x, button.y));
}

void TranslateWheel(const SDL_MouseWheelEvent& wheel, std::vector<HostInput>& out)
{
    int delta = wheel.preciseY != 0.0f ? int(std::lround(wheel.preciseY * kWheelNotch)) : wheel.y * kWheelNotch;
    if (wheel.direction == SDL_MOUSEWHEEL_FLIPPED)
        delta = -delta;
    if (delta == 0)
        return;
    HostInput input = AtPoint(Kind::MouseWheel, wheel.windowID, wheel.mouseX, wheel.mouseY);
    input.wheelDelta = delta;
    out.push_back(input);
}

void TranslateWindowEvent(const SDL_WindowEvent& window, std::vector<HostInput>& out)
{
    switch (window.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        out.push_back(AtPoint(Kind::Sized, window.windowID, window.data1, window.data2));
        break;
    case SDL_WINDOWEVENT_MOVED:
        out.push_back(AtPoint(Kind::Moved, window.windowID, window.data1, window.data2));
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        out.push_back(Make(Kind::FocusGained, window.windowID));
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        out.push_back(Make(Kind::FocusLost, window.windowID));
        break;
    case SDL_WINDOWEVENT_EXPOSED:
    // Nothing was drawn while the window was minimised.
    case SDL_WINDOWEVENT_RESTORED:
        out.push_back(Make(Kind::Exposed, window.windowID));
        break;
    case SDL_WINDOWEVENT_CLOSE:
        out.push_back(Make(Kind::CloseRequest, window.windowID));
        break;
    default:
        break;
    }
}

} // namespace

void AppendCodePoints(const char* utf8, std::vector<std::uint32_t>& codePoints)
{
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    while (*p) {
        const unsigned char lead = *p;
        int length;
        std::uint32_t value;
        if (lead < 0x80) {
            length = 1;
            value = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            value = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            value = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            value = lead & 0x07;
        } else {
            ++p;
            continue;
        }
        int i = 1;
        for (; i < length; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                break;
            value = (value << 6) | (p[i] & 0x3F);
        }
        if (i < length) {
            p += i;
            continue;
        }
        p += length;
        codePoints.push_back(value);
    }
}

std::vector<HostInput> TranslateEvent(const SDL_Event& event, TranslationState& state, int originX, int originY)
{
    std::vector<HostInput> out;
    switch (event.type) {
    case SDL_KEYDOWN:
        TranslateKey(event.key, out);
        break;
    case SDL_TEXTINPUT: {
        std::vector<std::uint32_t> codePoints;
        AppendCodePoints(event.text.text, codePoints);
        for (std::uint32_t c : codePoints)
            if (c >= 0x20 && c != 0x7F)
                out.push_back(Key(event.text.windowID, c));
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
        TranslateButton(event.button, true, originX, originY, state, out);
        break;
    case SDL_MOUSEBUTTONUP:
        TranslateButton(event.button, false, originX, originY, state, out);
        break;
    case SDL_MOUSEMOTION:
        out.push_back(AtPoint(Kind::MouseMove, event.motion.windowID, event.motion.x, event.motion.y));
        break;
    case SDL_MOUSEWHEEL:
        TranslateWheel(event.wheel, out);
        break;
    case SDL_WINDOWEVENT:
        TranslateWindowEvent(event.window, out);
        break;
    case SDL_DROPBEGIN:
    case SDL_DROPCOMPLETE:
        state.fileOfDropReported = false;
        break;
    case SDL_DROPFILE:
        if (!state.fileOfDropReported) {
            HostInput input = Make(Kind::DropFile, event.drop.windowID);
            input.fileName = event.drop.file ? event.drop.file : "";
            out.push_back(input);
            state.fileOfDropReported = true;
        }
        break;
    default:
        break;
    }
    return out;
}

} // namespace Platform
