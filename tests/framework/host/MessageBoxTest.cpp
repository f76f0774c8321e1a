// The message box from a test skin over an owner window: a nested modal loop
// during which the owner takes no input, the answer of the button clicked, the
// "OK" of an empty label list, the button row (a label given twice is two
// buttons), and what the screen shows; the ring on the button Return presses,
// moved by Tab; under a window manager the box stays above its owner and keeps
// the keyboard.
#include "framework/host/MessageBoxA.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "WindowTestSupport.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/InputSignals.h"
#include "framework/core/ObjectSignals.h"
#include "framework/host/VaboWnd.h"
#include "framework/widgets/Text.h"
#include "platform/EventLoop.h"
#include "support/WindowManager.h"

using WindowTest::Hex;
using WindowTest::Pump;
using WindowTest::ScreenPixel;
using WindowTest::ScreenRect;

namespace {

constexpr std::uint32_t kPanel = 0xC8E1D2;
constexpr std::uint32_t kButtonFace = 0x466EC8;
// The keyboard's ring, in the accent colour of a skin that names no other.
constexpr std::uint32_t kRing = 0x38BDF8;

class MessageBoxTest : public WindowTest::OwnerFixture {
protected:
    void SetUp() override
    {
        WindowTest::OwnerFixture::SetUp();
        ASSERT_NE(owner_, nullptr);
        owner_->Connect(
            Vabo::Signal::TypeIdOf<Vabo::Signal::LeftButtonDown>(), nullptr,
            [this](Vabo::Signal::Base*, Vabo::GuiObject*) { ++ownerPresses_; }, owner_->Watch());
        Pump(100);
    }

    std::unique_ptr<Vabo::MessageBoxA> MakeBox(const std::string& message, const std::string& labels)
    {
        TiXmlElement* element = skin_.LoadXML("MessageBoxTest.xml");
        EXPECT_NE(element, nullptr);
        auto box = std::make_unique<Vabo::MessageBoxA>(element);
        box->SetUp(message, labels);
        return box;
    }

    // The centre of a button, in its box's window coordinates.
    static Vabo::Point Centre(Vabo::GuiObject* button)
    {
        return Vabo::Point{button->GetWindowX() + button->GetWidth() / 2,
                           button->GetWindowY() + button->GetHeight() / 2};
    }

    int ownerPresses_ = 0;
};

} // namespace

TEST_F(MessageBoxTest, RunsNestedOverItsOwnerAndAnswersTheButtonClicked)
{
    std::string answer;
    bool ownerEnabledDuringBox = true;
    bool ownerEnabledAfterBox = false;
    Platform::Rect boxRect;
    std::uint64_t droppedBefore = 0;
    std::uint64_t droppedDuring = 0;
    bool ownerFocusedAfterBox = false;

    // The owner runs the program's loop; the box runs a second one inside it.
    Vabo::VaboWnd::PostCall([&] {
        auto box = MakeBox("Retry the tuner?", " RETRY , CANCEL ");
        Vabo::VaboWnd::PostCall([&, raw = box.get()] {
            boxRect = ScreenRect(*raw);
            ownerEnabledDuringBox = owner_->GetHostWnd()->IsWindowEnabled();
            droppedBefore = Platform::EventLoop::Instance().DroppedInputCount();
            WindowTest::PushClick(WindowTest::WindowId(*owner_), 30, 30);
            Vabo::VaboWnd::PostCall([&, raw] {
                droppedDuring = Platform::EventLoop::Instance().DroppedInputCount() - droppedBefore;
                auto* cancel = Vabo::GetXMLObject<Vabo::GuiObject>(raw, "ButtonContainer->CANCEL");
                ASSERT_NE(cancel, nullptr);
                const Vabo::Point at = Centre(cancel);
                WindowTest::PushClick(WindowTest::WindowId(*raw), at.x, at.y);
            });
        });
        box->DoModal(owner_.get());
        answer = box->GetAnswer();
        EXPECT_FALSE(box->IsModal());
        ownerEnabledAfterBox = owner_->GetHostWnd()->IsWindowEnabled();
        ownerFocusedAfterBox = WindowTest::PumpUntil([&] { return owner_->GetHostWnd()->HasFocus(); }, 1000);
        box.reset();
        owner_->Close();
    });
    owner_->DoModal(nullptr);

    EXPECT_EQ(answer, "CANCEL");
    EXPECT_FALSE(ownerEnabledDuringBox);
    EXPECT_TRUE(ownerEnabledAfterBox);
    EXPECT_TRUE(ownerFocusedAfterBox) << "the owner has the keyboard again, with no window manager to give it";
    EXPECT_EQ(droppedDuring, 2u) << "the owner's press and release were dropped";
    EXPECT_EQ(ownerPresses_, 0);
    const Platform::Rect ownerRect = ScreenRect(*owner_);
    EXPECT_EQ(boxRect.x, ownerRect.x + 50) << "placed relative to its owner";
    EXPECT_EQ(boxRect.y, ownerRect.y + 40);

    // The loops are over: the owner takes input again, and closing it now hides
    // it instead of ending a loop that no longer runs.
    EXPECT_FALSE(owner_->IsModal());
    WindowTest::PushClick(WindowTest::WindowId(*owner_), 30, 30);
    Pump(100);
    EXPECT_EQ(ownerPresses_, 1);
    owner_->Close();
    EXPECT_FALSE(owner_->IsVisible());
}

TEST_F(MessageBoxTest, AFullRowSharesItsWidthWithoutOverlap)
{
    auto box = MakeBox("Five buttons", "A,B,C,D,E");
    auto* container = Vabo::GetXMLObject<Vabo::GridLayout>(box.get(), "ButtonContainer");
    ASSERT_NE(container, nullptr);
    float right = 0.0f;
    for (const char* name : {"A", "B", "C", "D", "E"}) {
        auto* button = Vabo::GetXMLObject<Vabo::GuiObject>(container, name);
        ASSERT_NE(button, nullptr) << name;
        Vabo::LayoutObject record;
        ASSERT_TRUE(container->GetLayoutObject(button, record)) << name;
        EXPECT_FLOAT_EQ(record.width.percentage, 0.2f) << name;
        EXPECT_GE(record.x.percentage + 1e-6f, right) << name;
        right = record.x.percentage + record.width.percentage;
    }
    EXPECT_NEAR(right, 1.0f, 1e-6f);
}

// A label given twice is a button of its own each time, in its own place of
// the row; Return presses the first, which answers its label.
TEST_F(MessageBoxTest, ARepeatedLabelIsAButtonOfItsOwnInItsPlace)
{
    auto box = MakeBox("Twice", "A,B,A");
    auto* container = Vabo::GetXMLObject<Vabo::GridLayout>(box.get(), "ButtonContainer");
    ASSERT_NE(container, nullptr);
    std::vector<std::pair<float, std::string>> row;
    for (Vabo::GuiObject* button : container->GetChildren()) {
        Vabo::LayoutObject record;
        ASSERT_TRUE(container->GetLayoutObject(button, record));
        row.emplace_back(record.x.percentage + record.width.percentage / 2, button->GetName());
    }
    std::sort(row.begin(), row.end());
    const std::vector<std::pair<float, std::string>> expected = {{0.25f, "A"}, {0.5f, "B"}, {0.75f, "A"}};
    EXPECT_EQ(row, expected);
    Vabo::VaboWnd::PostCall([&, raw = box.get()] {
        WindowTest::PushKey(WindowTest::WindowId(*raw), SDLK_RETURN);
        if (!WindowTest::PumpUntil([&] { return !raw->GetAnswer().empty(); }))
            raw->Close();
    });
    box->DoModal(owner_.get());
    EXPECT_EQ(box->GetAnswer(), "A");
}

TEST_F(MessageBoxTest, WithoutLabelsItShowsOkAndAClickBesideTheButtonsAnswersNothing)
{
    auto box = MakeBox("Done.", "");
    auto* ok = Vabo::GetXMLObject<Vabo::GuiObject>(box.get(), "ButtonContainer->OK");
    ASSERT_NE(ok, nullptr);
    auto* label = Vabo::GetXMLObject<Vabo::Text>(ok, "Label");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetText(), "OK");
    auto* message = Vabo::GetXMLObject<Vabo::Text>(box.get(), "Message");
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->GetText(), "Done.");

    Vabo::VaboWnd::PostCall([&] {
        WindowTest::PushClick(WindowTest::WindowId(*box), 5, 5);
        Vabo::VaboWnd::PostCall([&] { box->Close(); });
    });
    box->DoModal(owner_.get());
    EXPECT_EQ(box->GetAnswer(), "");

    // Destroyed, the box leaves no name of its buttons behind.
    Vabo::GuiObject* container = Vabo::GetXMLObject<Vabo::GuiObject>(box.get(), "ButtonContainer");
    ASSERT_EQ(ok, DllGlobalObjectFactoryInstance().FindOwned(container, "OK"));
    box.reset();
    EXPECT_EQ(nullptr, DllGlobalObjectFactoryInstance().FindOwned(container, "OK"));
}

TEST_F(MessageBoxTest, TheScreenShowsTheBoxOverItsOwner)
{
    auto box = MakeBox("Retry the tuner?", "RETRY,CANCEL");
    // Kept beside the test program, to be looked at.
    const std::string shot = "message-box-over-owner.png";
    bool saved = false;
    std::uint32_t panel = 0;
    std::uint32_t face = 0;
    std::uint32_t corner = 0;
    Vabo::VaboWnd::PostCall([&] {
        WindowTest::Pump(200);
        const Platform::Rect r = ScreenRect(*box);
        panel = ScreenPixel(r.x + 150, r.y + 85);
        auto* retry = Vabo::GetXMLObject<Vabo::GuiObject>(box.get(), "ButtonContainer->RETRY");
        face = ScreenPixel(r.x + retry->GetWindowX() + 3, r.y + retry->GetWindowY() + 3);
        corner = ScreenPixel(r.x + 1, r.y + 1);
        saved = WindowTest::SaveScreenshot(shot);
        box->Close();
    });
    box->DoModal(owner_.get());
    EXPECT_EQ(Hex(kPanel), Hex(panel));
    EXPECT_EQ(Hex(kButtonFace), Hex(face));
    EXPECT_NE(Hex(kPanel), Hex(corner)) << "the owner shows through the box's rounded corner";
    EXPECT_TRUE(saved) << shot;
}

TEST_F(MessageBoxTest, EscapeAndTheWindowsCloseAnswerCancelOnlyWhereTheBoxHasIt)
{
    const auto closeRequest = [](std::uint32_t id) {
        SDL_Event e;
        SDL_zero(e);
        e.type = SDL_WINDOWEVENT;
        e.window.event = SDL_WINDOWEVENT_CLOSE;
        e.window.windowID = id;
        SDL_PushEvent(&e);
    };
    const auto escape = [](std::uint32_t id) { WindowTest::PushKey(id, SDLK_ESCAPE); };
    struct Case {
        const char* labels;
        bool byKey;
        const char* answer;
    };
    const Case cases[] = {
        {"RETRY,CANCEL", true, "CANCEL"}, {"CANCEL,RETRY", true, "CANCEL"}, {"LATER,CHANGE", true, ""}, {"", true, ""},
        {"LATER,CHANGE", false, ""},      {"RETRY,CANCEL", false, ""},
    };
    for (const Case& c : cases) {
        auto box = MakeBox("Switch it off?", c.labels);
        Vabo::VaboWnd::PostCall([&, raw = box.get()] {
            const std::uint32_t id = WindowTest::WindowId(*raw);
            c.byKey ? escape(id) : closeRequest(id);
        });
        box->DoModal(owner_.get());
        EXPECT_EQ(c.answer, box->GetAnswer()) << c.labels << (c.byKey ? " by Escape" : " by the window's close");
        EXPECT_FALSE(box->IsModal()) << c.labels;
    }
}

// The ring shows which button Return presses: the first when the box opens,
// whichever Tab and Shift+Tab move it to (round the row), and the first again
// once the pointer has left every button; Return then answers the ringed one.
TEST_F(MessageBoxTest, TheRingMarksTheButtonReturnPressesAndTabMovesItAlongTheRow)
{
    struct Key {
        SDL_Keycode key;
        Uint16 modifiers;
    };
    const Key tab{SDLK_TAB, KMOD_NONE};
    const Key backTab{SDLK_TAB, KMOD_LSHIFT};
    struct Case {
        std::vector<Key> keys;
        bool pointerOverMessage;
        const char* ringed;
    };
    const Case cases[] = {
        {{}, false, "RETRY"},        {{tab}, false, "CANCEL"},         {{tab, tab, tab}, false, "RETRY"},
        {{backTab}, false, "LATER"}, {{tab, backTab}, false, "RETRY"}, {{tab}, true, "RETRY"},
        {{}, true, "RETRY"},
    };
    // Away from the box: the real pointer selects what it rests on.
    WindowTest::PointerTo(1270, 1010);
    for (const Case& c : cases) {
        auto box = MakeBox("Retry the tuner?", "RETRY,CANCEL,LATER");
        std::string ringed;
        Vabo::VaboWnd::PostCall([&, raw = box.get()] {
            const Platform::Rect r = ScreenRect(*raw);
            const auto ringedNow = [&] {
                std::string names;
                for (const char* name : {"RETRY", "CANCEL", "LATER"}) {
                    auto* button = Vabo::GetXMLObject<Vabo::GuiObject>(raw, std::string("ButtonContainer->") + name);
                    const int x = r.x + button->GetWindowX() + 1;
                    const int y = r.y + button->GetWindowY() + button->GetHeight() / 2;
                    if (ScreenPixel(x, y) == kRing)
                        names += names.empty() ? name : std::string(" ") + name;
                }
                return names;
            };
            const std::uint32_t id = WindowTest::WindowId(*raw);
            for (const Key& key : c.keys)
                WindowTest::PushKey(id, key.key, key.modifiers);
            if (c.pointerOverMessage)
                TestSupport::PushMotion(id, 150, 40);
            WindowTest::PumpUntil([&] { return ringedNow() == c.ringed; });
            ringed = ringedNow();
            WindowTest::PushKey(id, SDLK_RETURN);
            if (!WindowTest::PumpUntil([&] { return !raw->GetAnswer().empty(); }))
                raw->Close();
        });
        box->DoModal(owner_.get());
        EXPECT_EQ(c.ringed, ringed) << c.keys.size() << " keys, pointer over the message " << c.pointerOverMessage;
        EXPECT_EQ(c.ringed, box->GetAnswer())
            << c.keys.size() << " keys, pointer over the message " << c.pointerOverMessage;
    }
}

// The box's modal loop holds every input of the owner: were the owner stacked
// over the box, the program would look frozen. A click on the owner and a
// restore of the owner (the box having opened while it was minimised) are the
// two ways a window manager raises it.
TEST_F(MessageBoxTest, UnderAWindowManagerTheBoxStaysAboveItsOwnerAndKeepsTheKeys)
{
    WindowManager manager(PELLORA_TEST_DATA "/openbox/rc.xml");
    ASSERT_TRUE(manager.Running());
    ASSERT_TRUE(WindowTest::PumpUntil([&] { return owner_->GetHostWnd()->HasFocus(); }, 3000));
    const Platform::Rect ownerRect = ScreenRect(*owner_);
    const std::string ownerId = WindowTest::XWindowName(owner_->GetHostWnd()->GetNativeWindow()->Handle());
    ASSERT_FALSE(ownerId.empty());
    struct Way {
        const char* what;
        bool minimisedFirst;
        std::function<void()> raiseOwner;
    };
    const Way ways[] = {
        {"a click on the owner beside the box", false,
         [&] {
             const std::string at = std::to_string(ownerRect.x + 20) + " " + std::to_string(ownerRect.y + 20);
             EXPECT_EQ(0, std::system(("xdotool mousemove " + at + " click 1").c_str()));
         }},
        {"the owner restored, as from a task bar", true,
         [&] { EXPECT_EQ(0, std::system(("xdotool windowactivate --sync " + ownerId).c_str())); }},
    };
    for (const Way& way : ways) {
        if (way.minimisedFirst) {
            owner_->Minimize();
            ASSERT_TRUE(WindowTest::PumpUntil([&] { return owner_->IsMinimized(); }, 3000)) << way.what;
        }
        auto box = MakeBox("Sound output was lost.", "RETRY,CANCEL");
        bool boxShown = false;
        bool keysLost = false;
        Vabo::VaboWnd::PostCall([&] {
            Vabo::VaboWnd* host = box->GetHostWnd();
            if (way.minimisedFirst) {
                EXPECT_TRUE(owner_->IsMinimized()) << way.what;
            }
            WindowTest::PumpUntil([&] { return host->HasFocus(); }, 3000);
            way.raiseOwner();
            // The box above its owner, and the keyboard with it.
            boxShown = WindowTest::PumpUntil(
                [&] {
                    return WindowTest::HasKeyboard(host->GetNativeWindow()->Handle())
                        && WindowTest::StackedAbove(host->GetNativeWindow()->Handle(),
                                                    owner_->GetHostWnd()->GetNativeWindow()->Handle());
                },
                3000);
            EXPECT_EQ(0, std::system("xdotool key Escape"));
            // The loop holds on while this call runs: the answer tells.
            keysLost = !WindowTest::PumpUntil([&] { return !box->GetAnswer().empty(); }, 2000);
            if (keysLost)
                box->Close();
        });
        box->DoModal(owner_.get());
        EXPECT_TRUE(boxShown) << way.what;
        EXPECT_FALSE(keysLost) << way.what << ": Escape never reached the box";
        EXPECT_EQ("CANCEL", box->GetAnswer()) << way.what;
    }
}

// The ring is where the keyboard is: a box that loses the focus to its owner
// (a click on it, a restore of it) and gets it back shows the ring again on
// the button Return presses.
TEST_F(MessageBoxTest, UnderAWindowManagerTheRingComesBackWithTheFocus)
{
    WindowManager manager(PELLORA_TEST_DATA "/openbox/rc.xml");
    ASSERT_TRUE(manager.Running());
    ASSERT_TRUE(WindowTest::PumpUntil([&] { return owner_->GetHostWnd()->HasFocus(); }, 3000));
    const Platform::Rect ownerRect = ScreenRect(*owner_);
    const std::string ownerId = WindowTest::XWindowName(owner_->GetHostWnd()->GetNativeWindow()->Handle());
    struct Way {
        const char* what;
        bool minimisedFirst;
        std::string command;
    };
    const Way ways[] = {
        {"a click on the owner beside the box", false,
         "xdotool mousemove " + std::to_string(ownerRect.x + 20) + " " + std::to_string(ownerRect.y + 20) + " click 1"},
        {"the owner restored, as from a task bar", true, "xdotool windowactivate --sync " + ownerId},
    };
    for (const Way& way : ways) {
        if (way.minimisedFirst) {
            owner_->Minimize();
            ASSERT_TRUE(WindowTest::PumpUntil([&] { return owner_->IsMinimized(); }, 3000)) << way.what;
        }
        auto box = MakeBox("Sound output was lost.", "RETRY,CANCEL");
        bool ringedBefore = false, ringedAfter = false;
        Vabo::VaboWnd::PostCall([&] {
            Vabo::VaboWnd* host = box->GetHostWnd();
            auto* retry = Vabo::GetXMLObject<Vabo::GuiObject>(box.get(), "ButtonContainer->RETRY");
            const auto ringed = [&] {
                const Platform::Rect r = ScreenRect(*box);
                return WindowTest::HasKeyboard(host->GetNativeWindow()->Handle())
                    && ScreenPixel(r.x + retry->GetWindowX() + 1, r.y + retry->GetWindowY() + retry->GetHeight() / 2)
                    == kRing;
            };
            ringedBefore = WindowTest::PumpUntil(ringed, 3000);
            EXPECT_EQ(0, std::system(way.command.c_str()));
            WindowTest::Pump(300);
            ringedAfter = WindowTest::PumpUntil(ringed, 3000);
            box->Close();
        });
        box->DoModal(owner_.get());
        EXPECT_TRUE(ringedBefore) << way.what;
        EXPECT_TRUE(ringedAfter) << way.what;
    }
}
