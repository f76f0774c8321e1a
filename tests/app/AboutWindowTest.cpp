// The About window from the real skin: the version shown once on every
// opening, its buttons connected every time, documents handed to xdg-open as
// one argument, and the boxes for a missing or unnamed document and for one
// that no program can open, over the About window; the About window and the
// boxes centred on the main window however it was moved, resized or maximised.
#include "app/AboutWindow.h"

#include "AppTestSupport.h"
#include "app/ShellOpen.h"
#include "app/ShowMessageBox.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/widgets/Text.h"
#include "support/TempFolder.h"
#include "support/Files.h"
#include "support/WindowManager.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <utility>

namespace {

using TestSupport::ReadFile;

// An "xdg-open" first on PATH that writes how many arguments it got and the
// first one into a file.
class FakeOpener {
public:
    FakeOpener()
    {
        const std::string script = folder_.Path() + "/xdg-open";
        std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n%s\\n' \"$#\" \"$1\" > '" << Record() << ".part'\nmv '"
                              << Record() << ".part' '" << Record() << "'\n";
        EXPECT_EQ(0, std::system(("chmod +x '" + script + "'").c_str()));
        oldPath_ = std::getenv("PATH");
        setenv("PATH", (folder_.Path() + ":" + oldPath_).c_str(), 1);
    }
    ~FakeOpener() { setenv("PATH", oldPath_.c_str(), 1); }

    std::string Record() const { return folder_.Path() + "/opened"; }
    const std::string& Folder() const { return folder_.Path(); }

private:
    TempFolder folder_;
    std::string oldPath_;
};

class AboutWindowTest : public AppTest::SkinFixture {
protected:
    // The skin's About window with the guide replaced by the document.
    TiXmlElement* Element(const std::string& guide)
    {
        std::string text = ReadFile(PELLORA_SOURCE_DIR "/XML/Main/About.xml");
        const std::string original = "Data=\"doc/Pellora-Guide.html\"";
        text.replace(text.find(original), original.size(), "Data=\"" + guide + "\"");
        const std::string path = folder_.Path() + "/About" + std::to_string(++documents_) + ".xml";
        TestSupport::WriteFile(path, text);
        return loader_.LoadXML(path);
    }

    // Runs the window modally; inside its loop, does the step, and once done()
    // holds closes the window. Posted calls never wait inside the loop, since
    // a box opened meanwhile would run its own loop inside the wait.
    template <class Step, class Done> void RunModally(AboutWindow& about, Step step, Done done)
    {
        Vabo::VaboWnd::PostCall([&] {
            step();
            WhenThen(done, [&] { Click(about, "CloseButton"); });
        });
        about.DoModal(nullptr);
    }

    // Runs the action on a later loop pass on which the condition holds.
    template <class Condition, class Action> static void WhenThen(Condition condition, Action action)
    {
        Vabo::VaboWnd::PostCall([=] {
            if (condition())
                action();
            else
                WhenThen(condition, action);
        });
    }

    static void Click(AboutWindow& about, const std::string& name)
    {
        auto* button = Vabo::GetXMLObject<Vabo::GuiObject>(&about, name);
        ASSERT_NE(nullptr, button) << name;
        AppTest::ClickObject(about, *button);
    }

    // Presses "OK" in the middle of the message box's button row once it shows.
    static void AnswerBox(bool& answered)
    {
        WhenThen([] { return AppTest::NewestWindowTitled("Pellora") != 0; },
                 [&answered] {
                     AppTest::PushClick(AppTest::NewestWindowTitled("Pellora"), 220, 146);
                     answered = true;
                 });
    }

    TempFolder folder_;
    XMLLoadSave loader_;
    int documents_ = 0;
};

} // namespace

TEST_F(AboutWindowTest, OpensTwiceWithTheVersionOnceAndHandsTheGuideToTheOpenerAsOneArgument)
{
    FakeOpener opener;
    const std::string guide = opener.Folder() + "/my guide; rm -rf x.html";
    TestSupport::WriteFile(guide, "<p>guide</p>\n");
    TiXmlElement* element = Element(guide);

    for (int opening = 0; opening < 2; ++opening) {
        std::remove(opener.Record().c_str());
        AboutWindow about(element);
        auto* version = Vabo::GetXMLObject<Vabo::Text>(&about, "Version");
        ASSERT_NE(nullptr, version);
        EXPECT_EQ("PELLORA v4.0.810", version->GetText()) << "opening " << opening;
        RunModally(
            about, [&] { Click(about, "HelpButton"); }, [&] { return !ReadFile(opener.Record()).empty(); });
        EXPECT_EQ("1\n" + guide + "\n", ReadFile(opener.Record())) << "opening " << opening;
    }
}

// A missing document, and a skin without a version text or a document
// element: the window still works, a box tells, and nothing is spawned.
TEST_F(AboutWindowTest, AMissingDocumentOrElementIsToldAndNeverSpawned)
{
    FakeOpener opener;
    EXPECT_FALSE(ShellOpen(opener.Folder() + "/missing.html").ok);
    EXPECT_EQ(-1, ShellOpen(opener.Folder() + "/missing.html").Status());
    EXPECT_EQ("error: doc/missing.html - the file is missing",
              AboutWindow::OpenFailure("doc/missing.html", *ShellOpen(opener.Folder() + "/missing.html").error));

    for (const bool bareSkin : {false, true}) {
        TiXmlElement* element = Element(bareSkin ? "unused" : opener.Folder() + "/missing.html");
        if (bareSkin) {
            element->RemoveChild(element->FirstChildElement("Help"));
            for (TiXmlElement* object = element->FirstChildElement("CreateObject"); object;
                 object = object->NextSiblingElement("CreateObject"))
                if (std::string(object->Attribute("Name")) == "Version") {
                    object->SetAttribute("Name", "Title");
                    break;
                }
        }
        AboutWindow about(element);
        bool answered = false;
        RunModally(
            about,
            [&] {
                AnswerBox(answered);
                Click(about, "HelpButton");
            },
            [&] { return answered && AppTest::NewestWindowTitled("Pellora") == 0; });
        EXPECT_TRUE(answered) << "bare skin " << bareSkin;
        EXPECT_TRUE(ReadFile(opener.Record()).empty()) << "bare skin " << bareSkin;
    }
}

// Without a program to open documents the box names the document and says
// so, and stands over the About window, wholly on the screen, wherever the
// About window is.
TEST_F(AboutWindowTest, ADocumentThatCannotBeOpenedIsToldPlainlyInABoxOverTheWindow)
{
    TempFolder noPrograms;
    const std::string guide = noPrograms.Path() + "/guide.html";
    TestSupport::WriteFile(guide, "<p>guide</p>\n");
    const std::string path = std::getenv("PATH");
    setenv("PATH", noPrograms.Path().c_str(), 1);
    const ShellResult result = ShellOpen(guide);
    setenv("PATH", path.c_str(), 1);
    ASSERT_FALSE(result.ok);
    EXPECT_EQ("error: " + guide + " - no program to open documents is installed (xdg-open, from xdg-utils)",
              AboutWindow::OpenFailure(guide, result.error.value_or("")));

    SDL_Rect screen;
    ASSERT_EQ(0, SDL_GetDisplayUsableBounds(0, &screen));
    struct Case {
        const char* where;
        int x, y; // of the About window; <0: that far from the right or bottom edge
    } cases[] = {{"where the skin puts it", 180, 120}, {"partly past the bottom right corner", -200, -100}};
    for (const Case& c : cases) {
        setenv("PATH", noPrograms.Path().c_str(), 1);
        AboutWindow about(Element(guide));
        const int x = c.x >= 0 ? c.x : screen.x + screen.w + c.x - about.GetWidth() / 2;
        const int y = c.y >= 0 ? c.y : screen.y + screen.h + c.y - about.GetHeight() / 2;
        about.SetPosition(x, y);
        SDL_Rect box{};
        RunModally(
            about,
            [&] {
                WhenThen([] { return AppTest::NewestWindowTitled("Pellora") != 0; },
                         [&] {
                             SDL_Window* window = SDL_GetWindowFromID(AppTest::NewestWindowTitled("Pellora"));
                             SDL_GetWindowPosition(window, &box.x, &box.y);
                             SDL_GetWindowSize(window, &box.w, &box.h);
                             AppTest::PushClick(SDL_GetWindowID(window), box.w / 2, box.h - 30);
                         });
                Click(about, "HelpButton");
            },
            [&] { return box.w > 0 && AppTest::NewestWindowTitled("Pellora") == 0; });
        setenv("PATH", path.c_str(), 1);
        SCOPED_TRACE(c.where);
        ASSERT_GT(box.w, 0);
        EXPECT_GE(box.x, screen.x);
        EXPECT_GE(box.y, screen.y);
        EXPECT_LE(box.x + box.w, screen.x + screen.w);
        EXPECT_LE(box.y + box.h, screen.y + screen.h);
        if (c.x >= 0) {
            EXPECT_EQ(x + (about.GetWidth() - box.w) / 2, box.x) << "centred on the About window";
            EXPECT_EQ(y + (about.GetHeight() - box.h) / 2, box.y);
        } else {
            const int centreX = box.x + box.w / 2, centreY = box.y + box.h / 2;
            EXPECT_TRUE(centreX > x && centreX < x + about.GetWidth() && centreY > y && centreY < y + about.GetHeight())
                << "over the About window";
        }
    }
}

namespace {

// The main window of the real skin under a window manager, moved, resized and
// maximised as a user would have it.
class OverMainWindowTest : public AppTest::ScreenFixture {
protected:
    // The rectangle on the screen of the shown window with the id.
    static SDL_Rect RectOf(std::uint32_t id)
    {
        SDL_Rect r{};
        if (SDL_Window* window = SDL_GetWindowFromID(id)) {
            SDL_GetWindowPosition(window, &r.x, &r.y);
            SDL_GetWindowSize(window, &r.w, &r.h);
        }
        return r;
    }

    // Where a window of the size shown over the owner belongs: centred on it,
    // moved onto the screen.
    static SDL_Rect Centred(const SDL_Rect& owner, const SDL_Rect& screen, const SDL_Rect& shown)
    {
        return SDL_Rect{std::clamp(owner.x + (owner.w - shown.w) / 2, screen.x, screen.x + screen.w - shown.w),
                        std::clamp(owner.y + (owner.h - shown.h) / 2, screen.y, screen.y + screen.h - shown.h), shown.w,
                        shown.h};
    }

    // Runs show() (which runs a modal loop); once a window other than the
    // main one with the title shows, gives the window manager a moment to
    // settle it where it belongs, takes its rectangle and presses Escape on
    // it, which closes the About window and a box alike.
    template <class Show>
    SDL_Rect RectWhileShown(const std::string& title, const SDL_Rect& owner, const SDL_Rect& screen, Show show)
    {
        const std::uint32_t main = window_->GetHostWnd()->GetNativeWindow()->Id();
        SDL_Rect shown{};
        bool closed = false;
        Vabo::VaboWnd::PostCall([&] {
            AppTest::PumpUntil([&] {
                const std::uint32_t id = AppTest::NewestWindowTitled(title);
                return id != 0 && id != main;
            });
            const std::uint32_t id = AppTest::NewestWindowTitled(title);
            if (id == 0 || id == main)
                return;
            AppTest::PumpUntil(
                [&] {
                    shown = RectOf(id);
                    const SDL_Rect centred = Centred(owner, screen, shown);
                    return SDL_RectEquals(&shown, &centred) == SDL_TRUE;
                },
                2000);
            TestSupport::PushKey(id, SDLK_ESCAPE);
            closed = true;
        });
        show();
        EXPECT_TRUE(closed) << title;
        return shown;
    }
};

} // namespace

TEST_F(OverMainWindowTest, TheAboutWindowAndEveryBoxStandCentredOnTheMainWindowAsItIsAndOnTheScreen)
{
    WindowManager manager(PELLORA_TEST_DATA "/openbox/rc.xml");
    ASSERT_TRUE(manager.Running());
    window_ = AppTest::OpenMainWindow(loader_);
    auto* tuner = Vabo::GetXMLObject<Vabo::GuiObject>(window_.get(), "TunerLayout");
    ASSERT_NE(nullptr, tuner);
    SDL_Rect screen;
    ASSERT_EQ(0, SDL_GetDisplayUsableBounds(0, &screen));

    struct Case {
        const char* what;
        int x, y, width, height; // width 0: maximised
    } cases[] = {
        {"moved and made smaller", 60, 120, 640, 400},
        {"maximised", 0, 0, 0, 0},
        {"partly past the bottom right corner", screen.w - 300, screen.h - 150, 640, 400},
    };
    const std::uint32_t id = window_->GetHostWnd()->GetNativeWindow()->Id();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.width == 0) {
            window_->Maximize();
        } else {
            if (window_->IsMaximized())
                window_->Restore();
            ASSERT_TRUE(AppTest::PumpUntil([&] { return !window_->IsMaximized(); }));
            window_->SetSize(c.width, c.height);
            window_->SetPosition(c.x, c.y);
        }
        ASSERT_TRUE(AppTest::PumpUntil([&] {
            const SDL_Rect r = RectOf(id);
            return c.width == 0 ? r.w == screen.w && r.h == screen.h
                                : r.x == c.x && r.y == c.y && r.w == c.width && r.h == c.height;
        })) << RectOf(id).x
            << "," << RectOf(id).y << " " << RectOf(id).w << "x" << RectOf(id).h;
        const SDL_Rect owner = RectOf(id);

        const SDL_Rect box = RectWhileShown("Pellora", owner, screen,
                                            [&] { ShowMessageBox("Over the tuner", "", window_.get()); });
        const SDL_Rect about = RectWhileShown("About Pellora", owner, screen, [&] { AboutWindow::ShowFor(*tuner); });
        for (const auto& [name, shown] : {std::pair<const char*, SDL_Rect>{"box", box}, {"About window", about}}) {
            SCOPED_TRACE(name);
            ASSERT_GT(shown.w, 0);
            const SDL_Rect centred = Centred(owner, screen, shown);
            EXPECT_EQ(centred.x, shown.x);
            EXPECT_EQ(centred.y, shown.y);
        }
    }
}
