// The About window from the real skin: the version shown once on every
// opening, its buttons connected every time, documents handed to xdg-open as
// one argument, and the boxes for a missing or unnamed document.
#include "app/AboutWindow.h"

#include "AppTestSupport.h"
#include "app/ShellOpen.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/widgets/Text.h"
#include "support/TempFolder.h"
#include "support/Files.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstdlib>
#include <fstream>

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
