// Edit boxes from a real skin, given the focus by a click and fed keys through
// the screen manager: validation, editing keys with and without Shift, the
// clipboard, Enter, the caret blink and what the box draws.
#include "framework/widgets/EditBox.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "InputRig.h"
#include "framework/core/HostInputSignals.h"
#include "framework/drawing/Region.h"
#include "framework/host/FramePresenter.h"
#include "framework/host/WindowSurface.h"
#include "framework/widgets/EditBoxSignal.h"
#include "framework/widgets/StringSignal.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/EventLoop.h"
#include "platform/HostInput.h"
#include "platform/NativeWindow.h"
#include "platform/TickRequest.h"
#include "platform/Video.h"
#include "support/MinimisedMark.h"
#include "tests/framework/drawing/PixelExpect.h"

using GdiplusGfxLayer::Color;
using Vabo::EditBox;

namespace {

constexpr std::uint32_t kBackspace = 8;
constexpr std::uint32_t kEnter = 13;
constexpr std::uint32_t kCopy = 3;
constexpr std::uint32_t kPaste = 22;
constexpr std::uint32_t kCut = 24;

std::uint32_t Virtual(std::uint32_t key)
{
    return key | Platform::kVirtualKeyFlag;
}

// Holds Shift in SDL's modifier state for its lifetime.
class ShiftHeld {
public:
    ShiftHeld() { SDL_SetModState(KMOD_LSHIFT); }
    ~ShiftHeld() { SDL_SetModState(KMOD_NONE); }
};

bool IsText(const Color& c)
{
    return c.GetAlpha() > 128 && c.GetRed() > 150 && c.GetBlue() > 150 && c.GetGreen() > 150;
}

bool IsSelectionBlue(const Color& c)
{
    return c == Color(255, 0, 0, 200);
}

class EditBoxTest : public ::testing::Test {
protected:
    // The box, with what it sends recorded in order.
    EditBox* Box(const std::string& name)
    {
        auto* box = rig_.Find<EditBox>(name);
        EXPECT_NE(box, nullptr) << name;
        if (!box)
            return nullptr;
        box->Connect(
            Vabo::Signal::TypeIdOf<Vabo::Signal::String>(), nullptr,
            [this](Vabo::Signal::Base* signal, Vabo::GuiObject*) {
                sent_.emplace_back("String", static_cast<Vabo::Signal::String*>(signal)->text);
            },
            box->Watch());
        box->Connect(
            Vabo::Signal::TypeIdOf<Vabo::Signal::EditBoxSignal>(), nullptr,
            [this](Vabo::Signal::Base* signal, Vabo::GuiObject*) {
                sent_.emplace_back("EditBox", static_cast<Vabo::Signal::EditBoxSignal*>(signal)->text);
            },
            box->Watch());
        return box;
    }

    // A click in the middle of the box: it takes the focus.
    void Focus(EditBox& box)
    {
        rig_.Click(box.GetWindowX() + box.GetWidth() / 2, box.GetWindowY() + box.GetHeight() / 2);
        ASSERT_EQ(rig_.Screens().GetFocusObject(), &box);
    }

    // The columns of the box's row that hold text ink.
    std::pair<int, int> TextColumns(EditBox& box)
    {
        auto picture = rig_.Draw();
        return InkColumns(*picture, box.GetWindowY(), box.GetWindowY() + box.GetHeight(), IsText);
    }

    InputRig rig_{"EditBoxes.xml", 200, 160};
    std::vector<std::pair<std::string, std::string>> sent_;
};

} // namespace

TEST_F(EditBoxTest, ValidatorsVetoCharactersAndTheKeysIgnoreOthers)
{
    EditBox* reference = Box("Reference");
    EditBox* tempo = Box("Tempo");
    ASSERT_TRUE(reference && tempo);
    Focus(*reference);
    rig_.Type("1.5.");
    EXPECT_EQ(reference->GetEditText(), "1.5") << "the second point is vetoed";
    EXPECT_EQ(sent_.size(), 4u) << "a vetoed character still reports the text";
    EXPECT_EQ(sent_.back(), (std::make_pair(std::string("String"), std::string("1.5"))));

    Focus(*tempo);
    rig_.Type("4a.2");
    EXPECT_EQ(tempo->GetEditText(), "42");

    // Characters outside space, digits, letters and "." never reach a validator.
    EditBox* name = Box("Name");
    Focus(*name);
    rig_.Type("a-b,c d");
    EXPECT_EQ(name->GetEditText(), "abc d");
    sent_.clear();
    name->Edit("FW");
    EXPECT_EQ(name->GetEditText(), "abc d");
    EXPECT_TRUE(sent_.empty()) << "FW sends nothing";
}

TEST_F(EditBoxTest, EnterSendsTheEntryThenTheTextAndDropsTheFocus)
{
    EditBox* reference = Box("Reference");
    ASSERT_NE(reference, nullptr);
    Focus(*reference);
    rig_.Type("440");
    sent_.clear();
    rig_.Key(kEnter);
    EXPECT_EQ(sent_, (std::vector<std::pair<std::string, std::string>>{{"EditBox", "440"}, {"String", "440"}}));
    EXPECT_EQ(rig_.Screens().GetFocusObject(), nullptr);
    EXPECT_EQ(reference->GetCaret(), -1);
    EXPECT_EQ(reference->GetAnchor(), -1);
    rig_.Type("1");
    EXPECT_EQ(reference->GetEditText(), "440") << "without the focus no key arrives";

    // The next click selects everything, and typing replaces it.
    Focus(*reference);
    EXPECT_EQ(reference->GetSelectedText(), "440");
    rig_.Type("5");
    EXPECT_EQ(reference->GetEditText(), "5");
}

TEST_F(EditBoxTest, ShiftWithTheArrowsHomeAndEndSelects)
{
    EditBox* name = Box("Name");
    ASSERT_NE(name, nullptr);
    Focus(*name);
    rig_.Type("abc");
    {
        ShiftHeld shift;
        rig_.Key(Virtual(Platform::VirtualKey::Left));
        EXPECT_EQ(name->GetSelectedText(), "c");
        rig_.Key(Virtual(Platform::VirtualKey::Home));
        EXPECT_EQ(name->GetSelectedText(), "abc");
    }
    rig_.Key(kBackspace);
    EXPECT_EQ(name->GetEditText(), "");
    EXPECT_EQ(name->GetCaret(), 0);

    rig_.Type("xyz");
    rig_.Key(Virtual(Platform::VirtualKey::Home));
    rig_.Key(Virtual(Platform::VirtualKey::Right));
    EXPECT_EQ(name->GetCaret(), 1);
    EXPECT_EQ(name->GetAnchor(), -1);
    {
        ShiftHeld shift;
        rig_.Key(Virtual(Platform::VirtualKey::Right));
        EXPECT_EQ(name->GetCaret(), 1) << "the first Shift+Right does not move the caret";
        EXPECT_EQ(name->GetSelectedText(), "y");
        rig_.Key(Virtual(Platform::VirtualKey::End));
        EXPECT_EQ(name->GetSelectedText(), "yz");
    }
    rig_.Key(Virtual(Platform::VirtualKey::Left));
    EXPECT_EQ(name->GetAnchor(), -1) << "an arrow without Shift drops the selection";
    rig_.Key(Virtual(Platform::VirtualKey::Delete));
    EXPECT_EQ(name->GetEditText(), "xy");
    rig_.Key(Virtual(Platform::VirtualKey::Home));
    rig_.Key(Virtual(Platform::VirtualKey::Left));
    EXPECT_EQ(name->GetCaret(), 0) << "not below the start";
}

TEST_F(EditBoxTest, CopyCutAndPasteGoThroughTheClipboardAndTheValidators)
{
    ASSERT_TRUE(Platform::StartVideo());
    EditBox* tempo = Box("Tempo");
    EditBox* name = Box("Name");
    ASSERT_TRUE(tempo && name);
    Platform::SetClipboardText("1a2");
    Focus(*tempo);
    sent_.clear();
    rig_.Key(kPaste);
    EXPECT_EQ(tempo->GetEditText(), "12") << "each pasted character is validated on its own";
    using Sent = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(sent_, (Sent{{"String", "12"}})) << "one change, made in one pass over the text";

    Focus(*name);
    rig_.Type("tuner");
    rig_.Key(Virtual(Platform::VirtualKey::Home));
    {
        ShiftHeld shift;
        rig_.Key(Virtual(Platform::VirtualKey::Right));
        rig_.Key(Virtual(Platform::VirtualKey::Right));
    }
    EXPECT_EQ(name->GetSelectedText(), "tu");
    rig_.Key(kCopy);
    std::string copied;
    ASSERT_TRUE(Platform::GetClipboardText(copied));
    EXPECT_EQ(copied, "tu");
    EXPECT_EQ(name->GetEditText(), "tuner");
    rig_.Key(kCut);
    EXPECT_EQ(name->GetEditText(), "ner");
    rig_.Key(Virtual(Platform::VirtualKey::End));
    rig_.Key(kPaste);
    EXPECT_EQ(name->GetEditText(), "nertu");
}

TEST_F(EditBoxTest, ACharacterOfSeveralBytesIsPastedSelectedAndDeletedWhole)
{
    ASSERT_TRUE(Platform::StartVideo());
    EditBox* name = Box("Name");
    ASSERT_NE(name, nullptr);
    Platform::SetClipboardText("G\xC3\xB6r");
    Focus(*name);
    rig_.Key(kPaste);
    EXPECT_EQ(name->GetEditText(), "G\xC3\xB6r");
    EXPECT_EQ(name->GetCaret(), 3) << "the caret counts characters";
    rig_.Key(Virtual(Platform::VirtualKey::Left));
    {
        ShiftHeld shift;
        rig_.Key(Virtual(Platform::VirtualKey::Left));
    }
    EXPECT_EQ(name->GetSelectedText(), "\xC3\xB6");
    rig_.Key(kCopy);
    std::string copied;
    ASSERT_TRUE(Platform::GetClipboardText(copied));
    EXPECT_EQ(copied, "\xC3\xB6");
    rig_.Key(Virtual(Platform::VirtualKey::End));
    rig_.Key(kBackspace);
    rig_.Key(kBackspace);
    EXPECT_EQ(name->GetEditText(), "G") << "no half character is left behind";
}

TEST_F(EditBoxTest, SetTextWithAShorterTextKeepsCaretAndSelectionInsideIt)
{
    EditBox* name = Box("Name");
    ASSERT_NE(name, nullptr);
    Focus(*name);
    rig_.Type("12345");
    rig_.DoubleClick(name->GetWindowX() + 5, name->GetWindowY() + 12);
    EXPECT_EQ(name->GetSelectedText(), "12345");
    name->SetText("1");
    EXPECT_LE(name->GetAnchor(), 0);
    EXPECT_NO_THROW(rig_.Key(kCopy));
    EXPECT_NO_THROW(rig_.Key(Virtual(Platform::VirtualKey::Delete)));
    EXPECT_EQ(name->GetEditText(), "");

    rig_.Type("abcdef");
    name->SetText("ab");
    EXPECT_EQ(name->GetCaret(), 2);
    EXPECT_NO_THROW(rig_.Key(kBackspace));
    EXPECT_EQ(name->GetEditText(), "a");
    name->SetText("xyz");
    {
        ShiftHeld shift;
        rig_.Key(Virtual(Platform::VirtualKey::Home));
    }
    name->SetText("");
    EXPECT_NO_THROW(rig_.Key(kCut));
    EXPECT_NO_THROW(rig_.Key(Virtual(Platform::VirtualKey::Delete)));
    EXPECT_EQ(name->GetEditText(), "");
}

TEST_F(EditBoxTest, TypingWithoutACaretAppendsAndLeavesTheCaretAtTheEnd)
{
    EditBox* name = Box("Name");
    ASSERT_NE(name, nullptr);
    name->SetText("ab");
    EXPECT_EQ(name->GetCaret(), -1);
    Vabo::Signal::KeyPress key('c');
    name->SendToSelf(&key);
    EXPECT_EQ(name->GetEditText(), "abc");
    EXPECT_EQ(name->GetCaret(), 3);
    Vabo::Signal::KeyPress more('d');
    name->SendToSelf(&more);
    EXPECT_EQ(name->GetEditText(), "abcd");
}

TEST_F(EditBoxTest, PressPlacesTheCaretAndADragSelects)
{
    EditBox* name = Box("Name");
    ASSERT_NE(name, nullptr);
    name->SetText("abcdef");
    Focus(*name);
    EXPECT_EQ(name->GetSelectedText(), "abcdef") << "the focusing press keeps the select-all";
    const Vabo::Rect third = name->GetFont()->MeasureRange("abcdef", 2, 2, -1.0f);
    const int y = name->GetWindowY() + name->GetHeight() / 2;
    // Drawn once, so the box knows where its text stands.
    rig_.Draw();
    const int x = name->GetWindowX() + 2 + third.x + third.width / 2;
    rig_.Press(x, y);
    EXPECT_EQ(name->GetCaret(), 2);
    EXPECT_EQ(name->GetAnchor(), -1);
    const Vabo::Rect fifth = name->GetFont()->MeasureRange("abcdef", 4, 4, -1.0f);
    rig_.Move(name->GetWindowX() + 2 + fifth.x + 1, y);
    rig_.Release(name->GetWindowX() + 2 + fifth.x + 1, y);
    EXPECT_EQ(name->GetSelectedText(), "cde");
    rig_.Click(name->GetWindowX() + name->GetWidth() - 4, y);
    EXPECT_EQ(name->GetCaret(), 6) << "right of the text is its end";
}

// The host's double click stands for a second press, held until its
// release: the pointer moving meanwhile leaves the whole text selected, and
// the next press drags a selection again.
TEST_F(EditBoxTest, ADoubleClickSelectsAllWhereverThePointerGoesBeforeItsRelease)
{
    EditBox* name = Box("Name");
    ASSERT_NE(name, nullptr);
    name->SetText("abcdef");
    Focus(*name);
    rig_.Draw();
    const int y = name->GetWindowY() + name->GetHeight() / 2;
    const Vabo::Rect third = name->GetFont()->MeasureRange("abcdef", 2, 2, -1.0f);
    const int x = name->GetWindowX() + 2 + third.x + third.width / 2;
    const Vabo::Rect fifth = name->GetFont()->MeasureRange("abcdef", 4, 4, -1.0f);
    for (const int to : {x, x + 1, name->GetWindowX() + 2 + fifth.x + 1}) {
        rig_.Click(x, y);
        rig_.DoubleClick(x, y);
        rig_.Move(to, y);
        rig_.Release(to, y);
        EXPECT_EQ(name->GetSelectedText(), "abcdef") << "released at " << to;
    }
    rig_.Press(x, y);
    rig_.Move(name->GetWindowX() + 2 + fifth.x + 1, y);
    rig_.Release(name->GetWindowX() + 2 + fifth.x + 1, y);
    EXPECT_EQ(name->GetSelectedText(), "cde");
}

TEST_F(EditBoxTest, TheCaretBlinksEveryHalfSecondWhileFocused)
{
    Platform::ManualClock clock(1000);
    InputRig rig("EditBoxes.xml", 200, 160);
    auto* name = rig.Find<EditBox>("Name");
    ASSERT_NE(name, nullptr);
    rig.Click(40, 82);
    rig.Key(Virtual(Platform::VirtualKey::End));
    const auto caretInk = [&] {
        auto picture = rig.Draw();
        return InkColumns(*picture, 72, 92, IsText).first;
    };
    EXPECT_TRUE(name->IsCaretVisible());
    const int withCaret = caretInk();
    EXPECT_LT(withCaret, 20) << "the caret of the empty box stands at its left";
    clock.Advance(499);
    rig.Tick();
    EXPECT_TRUE(name->IsCaretVisible());
    clock.Advance(1);
    rig.Tick();
    EXPECT_FALSE(name->IsCaretVisible());
    EXPECT_EQ(caretInk(), INT_MAX) << "an empty box without its caret draws nothing";
    clock.Advance(500);
    rig.Tick();
    EXPECT_TRUE(name->IsCaretVisible());
}

// While nothing of the program shows, the caret of the focused box does not
// keep the clock ticking; it blinks on once a window is back.
TEST_F(EditBoxTest, TheCaretWaitsWhileEveryWindowIsMinimised)
{
    struct Quiet : Platform::WindowClient {
        void OnInput(const Platform::HostInput&) override { }
        void OnTick() override { }
    } client;
    auto window = Platform::NativeWindow::Create({Platform::NativeWindow::Kind::Application, "", 0, 0, 40, 30});
    ASSERT_NE(window, nullptr);
    Platform::EventLoop& loop = Platform::EventLoop::Instance();
    loop.Attach(window->Id(), client);
    window->Show();
    Platform::ManualClock clock(1000);
    InputRig rig("EditBoxes.xml", 200, 160);
    auto* name = rig.Find<EditBox>("Name");
    ASSERT_NE(name, nullptr);
    rig.Click(40, 82);
    struct Step {
        const char* what;
        bool minimised;
        bool caretVisible;
        bool tickAsked;
    };
    const Step steps[] = {
        {"shown: blinks", false, false, true},
        {"minimised: waits", true, false, false},
        {"still minimised", true, false, false},
        {"back: blinks on", false, true, true},
    };
    for (const Step& step : steps) {
        if (step.minimised != window->IsMinimized()) {
            ASSERT_TRUE(TestSupport::MarkMinimised(window->Handle(), step.minimised)) << step.what;
        }
        Platform::TakeRequestedTick();
        clock.Advance(500);
        rig.Tick();
        EXPECT_EQ(step.caretVisible, name->IsCaretVisible()) << step.what;
        EXPECT_EQ(step.tickAsked, Platform::TakeRequestedTick() != Platform::kNoTick) << step.what;
    }
    loop.Detach(window->Id());
}

TEST_F(EditBoxTest, LongTextsKeepTheirEndInViewAndShortOnesCanBeCentred)
{
    EditBox* narrow = Box("Narrow");
    EditBox* centred = Box("Centred");
    ASSERT_TRUE(narrow && centred);
    narrow->SetText("123456789012");
    const auto columns = TextColumns(*narrow);
    EXPECT_GT(columns.second, narrow->GetWindowX() + narrow->GetWidth() - 2 - 12)
        << "the end of the text stands at the right of the box";
    EXPECT_GE(columns.first, narrow->GetWindowX() + 2) << "nothing is drawn outside the inner box";

    centred->SetText("A4");
    const auto middle = TextColumns(*centred);
    const int centre = centred->GetWindowX() + centred->GetWidth() / 2;
    EXPECT_NEAR((middle.first + middle.second) / 2.0, centre, 3.0);

    // The focus selects all: the selected characters are white on blue.
    Focus(*centred);
    auto picture = rig_.Draw();
    int blue = 0;
    int white = 0;
    for (int y = centred->GetWindowY(); y < centred->GetWindowY() + centred->GetHeight(); ++y)
        for (int x = centred->GetWindowX(); x < centred->GetWindowX() + centred->GetWidth(); ++x) {
            blue += IsSelectionBlue(picture->GetPixel(x, y)) ? 1 : 0;
            const Color c = picture->GetPixel(x, y);
            // Whiter than the box's own text colour (232, 236, 241).
            white += c.GetRed() > 242 && c.GetGreen() > 242 && c.GetBlue() > 242 ? 1 : 0;
        }
    EXPECT_GT(blue, 50);
    EXPECT_GT(white, 5);

    // A box with a "SelectionColor" selects in it.
    Focus(*narrow);
    picture = rig_.Draw();
    int accent = 0;
    for (int y = narrow->GetWindowY(); y < narrow->GetWindowY() + narrow->GetHeight(); ++y)
        for (int x = narrow->GetWindowX(); x < narrow->GetWindowX() + narrow->GetWidth(); ++x) {
            accent += picture->GetPixel(x, y) == Color(255, 56, 189, 248) ? 1 : 0;
            EXPECT_FALSE(IsSelectionBlue(picture->GetPixel(x, y)));
        }
    EXPECT_GT(accent, 50);
}

TEST_F(EditBoxTest, CtrlASelectsAllAndAnEntryEndedWithoutEnterShowsTheTextInEffect)
{
    EditBox* tempo = Box("Tempo");
    EditBox* name = Box("Name");
    ASSERT_TRUE(tempo && name);
    tempo->SetText("114");
    constexpr std::uint32_t kSelectAll = 1;
    constexpr std::uint32_t kEscape = 27;
    // How each entry ends, and what the box shows then.
    struct Ending {
        const char* how;
        std::function<void()> end;
        std::string shown;
    };
    const Ending endings[] = {
        {"Enter", [&] { rig_.Key(kEnter); }, "120"},
        {"Escape", [&] { rig_.Key(kEscape); }, "120"},
        {"a click elsewhere", [&] { Focus(*name); }, "120"},
    };
    for (const Ending& ending : endings) {
        Focus(*tempo);
        rig_.Key(Virtual(Platform::VirtualKey::End));
        rig_.Key(kSelectAll);
        EXPECT_EQ(tempo->GetSelectedText(), tempo->GetEditText()) << ending.how;
        rig_.Type(std::string(ending.how) == "Enter" ? "120" : "77");
        ending.end();
        EXPECT_EQ(tempo->GetEditText(), ending.shown) << ending.how;
        EXPECT_NE(rig_.Screens().GetFocusObject(), tempo) << ending.how;
    }
    // The receivers of an entry may set another text: that one is in effect.
    Focus(*tempo);
    rig_.Type("9");
    tempo->SetText("10");
    rig_.Key(kEscape);
    EXPECT_EQ(tempo->GetEditText(), "10");
}

// A receiver that takes every edit holds what the box shows once an entry
// is abandoned: the text in effect is sent again.
TEST_F(EditBoxTest, AnAbandonedEntryTellsItsReceiversTheTextInEffect)
{
    EditBox* tempo = Box("Tempo");
    EditBox* name = Box("Name");
    ASSERT_TRUE(tempo && name);
    tempo->SetText("114");
    constexpr std::uint32_t kEscape = 27;
    const std::pair<const char*, std::function<void()>> endings[] = {
        {"Escape", [&] { rig_.Key(kEscape); }},
        {"a click elsewhere", [&] { Focus(*name); }},
    };
    for (const auto& [how, end] : endings) {
        Focus(*tempo);
        rig_.Type("77");
        end();
        ASSERT_FALSE(sent_.empty()) << how;
        EXPECT_EQ(sent_.back(), (std::make_pair(std::string("String"), std::string("114")))) << how;
    }
}

TEST_F(EditBoxTest, ABoxHoldsItsMaxLengthWhateverIsTypedOrPasted)
{
    ASSERT_TRUE(Platform::StartVideo());
    EditBox* tempo = Box("Tempo");
    EditBox* name = Box("Name");
    ASSERT_TRUE(tempo && name);
    EXPECT_EQ(4, tempo->GetMaxLength());
    EXPECT_EQ(256, name->GetMaxLength()) << "without the attribute";
    Focus(*tempo);
    rig_.Type("123456");
    EXPECT_EQ(tempo->GetEditText(), "1234");
    rig_.Key(Virtual(Platform::VirtualKey::Left));
    rig_.Key(kBackspace);
    rig_.Type("9");
    EXPECT_EQ(tempo->GetEditText(), "1294") << "room made is room to type";

    // A 400 KB paste fills the box and stops there.
    Platform::SetClipboardText(std::string(400000, '7'));
    Focus(*name);
    rig_.Key(kPaste);
    EXPECT_EQ(name->GetEditText(), std::string(256, '7'));
    Focus(*tempo);
    rig_.Key(kPaste);
    EXPECT_EQ(tempo->GetEditText(), "7777") << "the selection makes way for the paste";
}

// A box draws its text, caret and selection inside itself: a change of them
// makes only the box dirty, and the frame composed from that is the one the
// whole tree drawn afresh gives.
TEST(EditBoxRedraw, ANewTextOrABlinkRedrawsTheBoxAlone)
{
    struct Presenter : Vabo::FramePresenter {
        std::vector<Vabo::Rect> shown;
        void GetClientSize(int& width, int& height) const override
        {
            width = 200;
            height = 160;
        }
        void Present(GdiplusGfxLayer::WindowSurface&, const GdiplusGfxLayer::Region& region) override
        {
            shown.push_back(region.GetBounds());
        }
    };
    Platform::ManualClock clock(1000);
    InputRig rig("EditBoxes.xml", 200, 160);
    auto* reference = rig.Find<EditBox>("Reference");
    auto* name = rig.Find<EditBox>("Name");
    ASSERT_TRUE(reference && name);
    GdiplusGfxLayer::WindowSurface surface(200, 160);
    Presenter presenter;
    rig.Click(40, 82);
    rig.Key(Virtual(Platform::VirtualKey::End));
    rig.Screens().InvalidateRect(Vabo::Rect{0, 0, 200, 160});
    rig.Screens().Render(surface, presenter);

    struct Change {
        const char* what;
        EditBox* box;
        std::function<void()> make;
    };
    const Change changes[] = {
        {"a longer text", reference, [&] { reference->SetText("1234.56"); }},
        {"a shorter text", reference, [&] { reference->SetText("7"); }},
        {"the caret blinking off", name, [&] { clock.Advance(500), rig.Tick(); }},
        {"the caret blinking on", name, [&] { clock.Advance(500), rig.Tick(); }},
    };
    for (const Change& change : changes) {
        presenter.shown.clear();
        change.make();
        ASSERT_TRUE(rig.Screens().Render(surface, presenter)) << change.what;
        ASSERT_EQ(1u, presenter.shown.size()) << change.what;
        const Vabo::Rect box{change.box->GetWindowX(), change.box->GetWindowY(), change.box->GetWidth(),
                             change.box->GetHeight()};
        const Vabo::Rect& drawn = presenter.shown.front();
        EXPECT_TRUE(drawn.x >= box.x && drawn.y >= box.y && drawn.x + drawn.width <= box.x + box.width
                    && drawn.y + drawn.height <= box.y + box.height)
            << change.what << ": drawn " << drawn.x << "," << drawn.y << " " << drawn.width << "x" << drawn.height;
        const auto whole = rig.Draw();
        int differing = 0;
        for (int y = 0; y < 160; ++y)
            for (int x = 0; x < 200; ++x)
                differing += surface.GetBackBuffer().GetPixel(x, y) == whole->GetPixel(x, y) ? 0 : 1;
        EXPECT_EQ(0, differing) << change.what;
    }
}
