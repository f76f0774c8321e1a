// The SDL event translation table, headless: key codes, clicks, wheel, window
// events and drops.
#include "platform/EventTranslation.h"

#include <gtest/gtest.h>

#include <cstring>

using Platform::HostInput;
using Kind = Platform::HostInput::Kind;
using Codes = std::vector<std::uint32_t>;

namespace {

constexpr Uint32 kWindow = 7;

std::vector<HostInput> Translate(const SDL_Event& event)
{
    Platform::TranslationState state;
    return Platform::TranslateEvent(event, state);
}

SDL_Event Event(Uint32 type)
{
    SDL_Event e;
    SDL_zero(e);
    e.type = type;
    e.window.windowID = kWindow; // where key, text, mouse and window events keep it
    return e;
}

SDL_Event KeyDown(SDL_Keycode sym, Uint16 mod)
{
    SDL_Event e = Event(SDL_KEYDOWN);
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    return e;
}

SDL_Event Text(const char* utf8)
{
    SDL_Event e = Event(SDL_TEXTINPUT);
    std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
    return e;
}

SDL_Event Button(Uint32 type, Uint8 button, Uint8 clicks, int x = 0, int y = 0)
{
    SDL_Event e = Event(type);
    e.button.button = button;
    e.button.clicks = clicks;
    e.button.x = x;
    e.button.y = y;
    return e;
}

Codes KeyCodes(const std::vector<HostInput>& inputs)
{
    Codes codes;
    for (const HostInput& input : inputs) {
        EXPECT_EQ(Kind::KeyPress, input.kind);
        EXPECT_EQ(kWindow, input.windowId);
        codes.push_back(input.keyCode);
    }
    return codes;
}

} // namespace

TEST(EventTranslation, KeysArriveAsCharactersFlaggedVirtualKeysAndControlCharacters)
{
    const struct {
        SDL_Keycode sym;
        Uint16 mod;
        Codes codes;
    } rows[] = {
        {SDLK_LEFT, KMOD_NONE, {0x80000025}},
        {SDLK_UP, KMOD_NONE, {0x80000026}},
        {SDLK_RIGHT, KMOD_NONE, {0x80000027}},
        {SDLK_DOWN, KMOD_NONE, {0x80000028}},
        {SDLK_HOME, KMOD_NONE, {0x80000024}},
        {SDLK_END, KMOD_NONE, {0x80000023}},
        {SDLK_DELETE, KMOD_NONE, {0x8000002E}},
        {SDLK_BACKSPACE, KMOD_NONE, {0x80000008, 8}},
        {SDLK_TAB, KMOD_NONE, {9}},
        {SDLK_TAB, KMOD_LSHIFT, {0x80000009}}, // Shift+Tab: back through the tab order
        {SDLK_RETURN, KMOD_NONE, {13}},
        {SDLK_KP_ENTER, KMOD_NONE, {13}},
        {SDLK_ESCAPE, KMOD_NONE, {27}},
        {SDLK_v, KMOD_LCTRL, {22}},
        {SDLK_a, KMOD_RCTRL, {1}},
        {SDLK_z, KMOD_LCTRL | KMOD_LSHIFT, {26}},
        // Plain letters come as text, Ctrl+Alt is AltGr, other keys give nothing.
        {SDLK_v, KMOD_NONE, {}},
        {SDLK_v, KMOD_LCTRL | KMOD_RALT, {}},
        {SDLK_F1, KMOD_LCTRL, {}},
        {SDLK_LSHIFT, KMOD_NONE, {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.codes, KeyCodes(Translate(KeyDown(row.sym, row.mod))))
            << SDL_GetKeyName(row.sym) << " " << row.mod;
}

TEST(EventTranslation, TextGivesOneKeyPressPerCodePoint)
{
    EXPECT_EQ(Codes({'a', 'B', ' '}), KeyCodes(Translate(Text("aB "))));
    EXPECT_EQ(Codes({0xE9, 0x20AC, 0x1D11E}), KeyCodes(Translate(Text("\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E"))));
    // A stray continuation byte and a truncated sequence are skipped.
    EXPECT_EQ(Codes({'x', 'y'}), KeyCodes(Translate(Text("x\x80\xE2\x82y"))));
}

TEST(EventTranslation, SecondClickIsADoubleClickInsteadOfAPress)
{
    auto down = Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 30, 40));
    ASSERT_EQ(1u, down.size());
    EXPECT_EQ(Kind::LeftButtonDown, down[0].kind);
    EXPECT_EQ(30, down[0].x);
    EXPECT_EQ(40, down[0].y);
    const auto kinds = [](Uint32 type, Uint8 button, Uint8 clicks) {
        std::vector<Kind> out;
        for (const HostInput& input : Translate(Button(type, button, clicks)))
            out.push_back(input.kind);
        return out;
    };
    using Kinds = std::vector<Kind>;
    EXPECT_EQ(Kinds{Kind::LeftButtonDblClk}, kinds(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 2));
    EXPECT_EQ(Kinds{Kind::LeftButtonDown}, kinds(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 3));
    EXPECT_EQ(Kinds{Kind::LeftButtonDblClk}, kinds(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 4));
    EXPECT_EQ(Kinds{Kind::LeftButtonUp}, kinds(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 2));
    EXPECT_EQ(Kinds{Kind::RightButtonDown}, kinds(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1));
    EXPECT_EQ(Kinds{Kind::RightButtonDblClk}, kinds(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 2));
    EXPECT_EQ(Kinds{Kind::RightButtonUp}, kinds(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 1));
    EXPECT_TRUE(kinds(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 1).empty());
}

// How the user clicks: presses of a pair in one window make a press and a
// double click; a press at the screen point of the press before it, within
// the double-click time, in another window while that one shows no more (the
// list the first click closed uncovered it) gives nothing, press and release,
// whether SDL counts it as a first click (by the new window's coordinates) or
// as a second.
TEST(EventTranslation, ThePressOfAPairThatFallsInAnotherWindowActsOnNothing)
{
    constexpr Uint32 kList = 9;
    struct Click {
        Uint32 window;
        int originX; // the window's screen position
        int x; // in the window; y is x too
        Uint32 time;
        Uint8 clicks;
        Uint8 button = SDL_BUTTON_LEFT;
    };
    struct Row {
        const char* how;
        std::vector<Click> clicks;
        std::vector<std::pair<Kind, Uint32>> inputs;
        // Whether the list still shows at the second press.
        bool listShows = false;
    };
    const Kind down = Kind::LeftButtonDown;
    const Kind up = Kind::LeftButtonUp;
    const Kind pair = Kind::LeftButtonDblClk;
    const Row rows[] = {
        {"one click", {{kWindow, 0, 50, 1000, 1}}, {{down, kWindow}, {up, kWindow}}},
        {"two on one button",
         {{kWindow, 0, 50, 1000, 1}, {kWindow, 0, 50, 1150, 2}},
         {{down, kWindow}, {up, kWindow}, {pair, kWindow}, {up, kWindow}}},
        {"two on a list entry that closes its list",
         {{kList, 100, 20, 1000, 1}, {kWindow, 0, 120, 1150, 1}},
         {{down, kList}, {up, kList}}},
        {"two on a box's button where a window of the same place comes next",
         {{kList, 100, 20, 1000, 1}, {kWindow, 100, 20, 1150, 2}},
         {{down, kList}, {up, kList}}},
        {"three there",
         {{kList, 100, 20, 1000, 1}, {kWindow, 0, 120, 1150, 1}, {kWindow, 0, 120, 1300, 2}},
         {{down, kList}, {up, kList}, {pair, kWindow}, {up, kWindow}}},
        {"the right button on a list entry",
         {{kList, 100, 20, 1000, 1, SDL_BUTTON_RIGHT}, {kWindow, 0, 120, 1150, 1, SDL_BUTTON_RIGHT}},
         {{Kind::RightButtonDown, kList}, {Kind::RightButtonUp, kList}}},
        {"a right click between",
         {{kList, 100, 20, 1000, 1}, {kWindow, 0, 30, 1050, 1, SDL_BUTTON_RIGHT}, {kWindow, 0, 120, 1150, 1}},
         {{down, kList}, {up, kList}, {Kind::RightButtonDown, kWindow}, {Kind::RightButtonUp, kWindow}}},
        {"after the double-click time",
         {{kList, 100, 20, 1000, 1}, {kWindow, 0, 120, 1000 + Platform::kDoubleClickMs + 1, 1}},
         {{down, kList}, {up, kList}, {down, kWindow}, {up, kWindow}}},
        {"beside the point",
         {{kList, 100, 20, 1000, 1}, {kWindow, 0, 120 + Platform::kDoubleClickRadius + 1, 1150, 1}},
         {{down, kList}, {up, kList}, {down, kWindow}, {up, kWindow}}},
        {"on a list that stays open",
         {{kList, 100, 20, 1000, 1}, {kWindow, 0, 120, 1150, 1}},
         {{down, kList}, {up, kList}, {down, kWindow}, {up, kWindow}},
         true},
    };
    for (const Row& row : rows) {
        Platform::TranslationState state;
        state.shows = [&row](std::uint32_t window) { return row.listShows && window == kList; };
        std::vector<std::pair<Kind, Uint32>> inputs;
        for (const Click& click : row.clicks) {
            for (const Uint32 type : {Uint32(SDL_MOUSEBUTTONDOWN), Uint32(SDL_MOUSEBUTTONUP)}) {
                SDL_Event event = Button(type, click.button, click.clicks, click.x, click.x);
                event.button.windowID = click.window;
                event.button.timestamp = click.time;
                for (const HostInput& input : Platform::TranslateEvent(event, state, click.originX, click.originX))
                    inputs.emplace_back(input.kind, input.windowId);
            }
        }
        EXPECT_EQ(row.inputs, inputs) << row.how;
    }
}

TEST(EventTranslation, WheelGives120PerNotchAtTheWindowPoint)
{
    SDL_Event e = Event(SDL_MOUSEWHEEL);
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

TEST(EventTranslation, MotionAndWindowEventsAndWhichOfThemAreUserInput)
{
    SDL_Event e = Event(SDL_MOUSEMOTION);
    e.motion.x = 5;
    e.motion.y = 6;
    auto move = Translate(e);
    ASSERT_EQ(1u, move.size());
    EXPECT_EQ(Kind::MouseMove, move[0].kind);
    EXPECT_EQ(5, move[0].x);
    EXPECT_EQ(6, move[0].y);
    EXPECT_TRUE(move[0].IsUserInput());

    e = Event(SDL_WINDOWEVENT);
    e.window.data1 = 300;
    e.window.data2 = 200;
    const std::pair<Uint8, Kind> table[] = {
        {SDL_WINDOWEVENT_SIZE_CHANGED, Kind::Sized},       {SDL_WINDOWEVENT_MOVED, Kind::Moved},
        {SDL_WINDOWEVENT_FOCUS_GAINED, Kind::FocusGained}, {SDL_WINDOWEVENT_FOCUS_LOST, Kind::FocusLost},
        {SDL_WINDOWEVENT_EXPOSED, Kind::Exposed},          {SDL_WINDOWEVENT_CLOSE, Kind::CloseRequest},
        {SDL_WINDOWEVENT_RESTORED, Kind::Exposed},
    };
    for (const auto& [event, kind] : table) {
        e.window.event = event;
        auto out = Translate(e);
        ASSERT_EQ(1u, out.size());
        EXPECT_EQ(kind, out[0].kind);
        EXPECT_EQ(kWindow, out[0].windowId);
        EXPECT_FALSE(out[0].IsUserInput()) << "a disabled window still takes it";
    }
    e.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    EXPECT_EQ(300, Translate(e)[0].x);
    EXPECT_EQ(200, Translate(e)[0].y);
    // SDL also reports RESIZED for the same change; one Sized is enough.
    e.window.event = SDL_WINDOWEVENT_RESIZED;
    EXPECT_TRUE(Translate(e).empty());

    HostInput input;
    for (Kind kind : {Kind::KeyPress, Kind::LeftButtonDown, Kind::RightButtonUp, Kind::MouseWheel,
                      Kind::LeftButtonDblClk, Kind::DropFile}) {
        input.kind = kind;
        EXPECT_TRUE(input.IsUserInput());
    }
}

TEST(EventTranslation, OnlyTheFirstFileOfADropIsReported)
{
    Platform::TranslationState state;
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_DROPBEGIN;
    e.drop.windowID = kWindow;
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
