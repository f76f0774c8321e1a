// The SDL event translation table, headless: key codes, clicks, wheel, window
// events and drops.
#include "platform/EventTranslation.h"

#include <gtest/gtest.h>

#include <cstring>

using Platform::HostInput;
using Platform::kVirtualKeyFlag;
using Kind = Platform::HostInput::Kind;

namespace {

constexpr Uint32 kWindow = 7;

std::vector<HostInput> Translate(const SDL_Event& event)
{
    Platform::TranslationState state;
    return Platform::TranslateEvent(event, state);
}

SDL_Event KeyDown(SDL_Keycode sym, Uint16 mod = KMOD_NONE)
{
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_KEYDOWN;
    e.key.windowID = kWindow;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    return e;
}

SDL_Event Text(const char* utf8)
{
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_TEXTINPUT;
    e.text.windowID = kWindow;
    std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
    return e;
}

SDL_Event Button(Uint32 type, Uint8 button, Uint8 clicks, int x, int y)
{
    SDL_Event e;
    SDL_zero(e);
    e.type = type;
    e.button.windowID = kWindow;
    e.button.button = button;
    e.button.clicks = clicks;
    e.button.x = x;
    e.button.y = y;
    return e;
}

std::vector<std::uint32_t> Codes(const std::vector<HostInput>& inputs)
{
    std::vector<std::uint32_t> codes;
    for (const HostInput& input : inputs) {
        EXPECT_EQ(Kind::KeyPress, input.kind);
        EXPECT_EQ(kWindow, input.windowId);
        codes.push_back(input.keyCode);
    }
    return codes;
}

using Codes_ = std::vector<std::uint32_t>;

} // namespace

TEST(EventTranslation, KeysArriveAsCharactersAndFlaggedVirtualKeys)
{
    EXPECT_EQ(Codes_({0x80000025}), Codes(Translate(KeyDown(SDLK_LEFT))));
    EXPECT_EQ(Codes_({0x80000026}), Codes(Translate(KeyDown(SDLK_UP))));
    EXPECT_EQ(Codes_({0x80000027}), Codes(Translate(KeyDown(SDLK_RIGHT))));
    EXPECT_EQ(Codes_({0x80000028}), Codes(Translate(KeyDown(SDLK_DOWN))));
    EXPECT_EQ(Codes_({0x80000024}), Codes(Translate(KeyDown(SDLK_HOME))));
    EXPECT_EQ(Codes_({0x80000023}), Codes(Translate(KeyDown(SDLK_END))));
    EXPECT_EQ(Codes_({0x8000002E}), Codes(Translate(KeyDown(SDLK_DELETE))));
    EXPECT_EQ(Codes_({0x80000008, 8}), Codes(Translate(KeyDown(SDLK_BACKSPACE))));
    EXPECT_EQ(Codes_({9}), Codes(Translate(KeyDown(SDLK_TAB))));
    EXPECT_EQ(Codes_({9}), Codes(Translate(KeyDown(SDLK_TAB, KMOD_LSHIFT))));
    EXPECT_EQ(Codes_({13}), Codes(Translate(KeyDown(SDLK_RETURN))));
    EXPECT_EQ(Codes_({13}), Codes(Translate(KeyDown(SDLK_KP_ENTER))));
    EXPECT_EQ(Codes_({27}), Codes(Translate(KeyDown(SDLK_ESCAPE))));
}

TEST(EventTranslation, ControlLettersGiveControlCharacters)
{
    EXPECT_EQ(Codes_({22}), Codes(Translate(KeyDown(SDLK_v, KMOD_LCTRL))));
    EXPECT_EQ(Codes_({1}), Codes(Translate(KeyDown(SDLK_a, KMOD_RCTRL))));
    EXPECT_EQ(Codes_({26}), Codes(Translate(KeyDown(SDLK_z, KMOD_LCTRL | KMOD_LSHIFT))));
    // Plain letters come as text, Ctrl+Alt is AltGr, other keys give nothing.
    EXPECT_TRUE(Translate(KeyDown(SDLK_v)).empty());
    EXPECT_TRUE(Translate(KeyDown(SDLK_v, KMOD_LCTRL | KMOD_RALT)).empty());
    EXPECT_TRUE(Translate(KeyDown(SDLK_F1, KMOD_LCTRL)).empty());
    EXPECT_TRUE(Translate(KeyDown(SDLK_LSHIFT)).empty());
}

TEST(EventTranslation, TextGivesOneKeyPressPerCodePoint)
{
    EXPECT_EQ(Codes_({'a', 'B', ' '}), Codes(Translate(Text("aB "))));
    EXPECT_EQ(Codes_({0xE9, 0x20AC, 0x1D11E}), Codes(Translate(Text("\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E"))));
    // A stray continuation byte and a truncated sequence are skipped.
    EXPECT_EQ(Codes_({'x', 'y'}), Codes(Translate(Text("x\x80\xE2\x82y"))));
}

TEST(EventTranslation, SecondClickIsADoubleClickInsteadOfAPress)
{
    auto down = Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 30, 40));
    ASSERT_EQ(1u, down.size());
    EXPECT_EQ(Kind::LeftButtonDown, down[0].kind);
    EXPECT_EQ(30, down[0].x);
    EXPECT_EQ(40, down[0].y);
    EXPECT_EQ(Kind::LeftButtonDblClk, Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 2, 0, 0))[0].kind);
    EXPECT_EQ(Kind::LeftButtonDown, Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 3, 0, 0))[0].kind);
    EXPECT_EQ(Kind::LeftButtonDblClk, Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 4, 0, 0))[0].kind);
    EXPECT_EQ(Kind::LeftButtonUp, Translate(Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 2, 0, 0))[0].kind);
    EXPECT_EQ(Kind::RightButtonDown, Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1, 0, 0))[0].kind);
    EXPECT_EQ(Kind::RightButtonDblClk, Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 2, 0, 0))[0].kind);
    EXPECT_EQ(Kind::RightButtonUp, Translate(Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 1, 0, 0))[0].kind);
    EXPECT_TRUE(Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 1, 0, 0)).empty());
}

TEST(EventTranslation, WheelGives120PerNotchAtTheWindowPoint)
{
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = kWindow;
    e.wheel.y = 1;
    e.wheel.preciseY = 1.0f;
    e.wheel.mouseX = 12;
    e.wheel.mouseY = 34;
    auto away = Translate(e);
    ASSERT_EQ(1u, away.size());
    EXPECT_EQ(Kind::MouseWheel, away[0].kind);
    EXPECT_EQ(120, away[0].wheelDelta);
    EXPECT_EQ(12, away[0].x);
    EXPECT_EQ(34, away[0].y);

    e.wheel.y = -2;
    e.wheel.preciseY = -2.0f;
    EXPECT_EQ(-240, Translate(e)[0].wheelDelta);

    e.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    EXPECT_EQ(240, Translate(e)[0].wheelDelta);

    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    e.wheel.y = 0;
    e.wheel.preciseY = 0.25f;
    EXPECT_EQ(30, Translate(e)[0].wheelDelta);

    e.wheel.preciseY = 0.0f;
    e.wheel.x = 1;
    EXPECT_TRUE(Translate(e).empty()) << "a sideways wheel is not the vertical wheel";
}

TEST(EventTranslation, MotionAndWindowEvents)
{
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = kWindow;
    e.motion.x = 5;
    e.motion.y = 6;
    auto move = Translate(e);
    ASSERT_EQ(1u, move.size());
    EXPECT_EQ(Kind::MouseMove, move[0].kind);
    EXPECT_EQ(5, move[0].x);
    EXPECT_EQ(6, move[0].y);

    SDL_zero(e);
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = kWindow;
    const std::pair<Uint8, Kind> table[] = {
        {SDL_WINDOWEVENT_SIZE_CHANGED, Kind::Sized}, {SDL_WINDOWEVENT_MOVED, Kind::Moved},
        {SDL_WINDOWEVENT_FOCUS_GAINED, Kind::FocusGained}, {SDL_WINDOWEVENT_FOCUS_LOST, Kind::FocusLost},
        {SDL_WINDOWEVENT_EXPOSED, Kind::Exposed}, {SDL_WINDOWEVENT_CLOSE, Kind::CloseRequest},
    };
    for (const auto& row : table) {
        e.window.event = row.first;
        e.window.data1 = 300;
        e.window.data2 = 200;
        auto out = Translate(e);
        ASSERT_EQ(1u, out.size());
        EXPECT_EQ(row.second, out[0].kind);
        EXPECT_EQ(kWindow, out[0].windowId);
    }
    e.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    EXPECT_EQ(300, Translate(e)[0].x);
    EXPECT_EQ(200, Translate(e)[0].y);
    // SDL also reports RESIZED for the same change; one Sized is enough.
    e.window.event = SDL_WINDOWEVENT_RESIZED;
    EXPECT_TRUE(Translate(e).empty());
}

TEST(EventTranslation, OnlyTheFirstFileOfADropIsReported)
{
    Platform::TranslationState state;
    SDL_Event e;
    SDL_zero(e);
    e.drop.windowID = kWindow;
    e.type = SDL_DROPBEGIN;
    EXPECT_TRUE(Platform::TranslateEvent(e, state).empty());

    char first[] = "/tmp/one.wav";
    char second[] = "/tmp/two.wav";
    e.type = SDL_DROPFILE;
    e.drop.file = first;
    auto out = Platform::TranslateEvent(e, state);
    ASSERT_EQ(1u, out.size());
    EXPECT_EQ(Kind::DropFile, out[0].kind);
    EXPECT_EQ("/tmp/one.wav", out[0].fileName);
    e.drop.file = second;
    EXPECT_TRUE(Platform::TranslateEvent(e, state).empty());

    e.type = SDL_DROPCOMPLETE;
    e.drop.file = nullptr;
    Platform::TranslateEvent(e, state);
    e.type = SDL_DROPFILE;
    e.drop.file = second;
    ASSERT_EQ(1u, Platform::TranslateEvent(e, state).size()) << "the next drop is reported again";
}

TEST(EventTranslation, UserInputIsWhatADisabledWindowIgnores)
{
    HostInput input;
    for (Kind kind : {Kind::KeyPress, Kind::LeftButtonDown, Kind::RightButtonUp, Kind::MouseMove, Kind::MouseWheel,
                      Kind::LeftButtonDblClk, Kind::DropFile}) {
        input.kind = kind;
        EXPECT_TRUE(input.IsUserInput());
    }
    for (Kind kind : {Kind::Sized, Kind::Moved, Kind::FocusGained, Kind::FocusLost, Kind::Exposed, Kind::CloseRequest}) {
        input.kind = kind;
        EXPECT_FALSE(input.IsUserInput());
    }
}
